#include "capdump/src/report_script.h"

namespace capdump {

// Tick steps and x units follow the same rules as axis_ticks.cpp.
const std::string_view kReportScript = R"js(
(() => {
  const data = JSON.parse(document.getElementById('capdump-charts').textContent);
  if (!data) return;
  const X = data.x;
  const charts = Array.from(document.querySelectorAll('svg.chart'));
  const readout = document.getElementById('readout');
  const slices = data.charts.length ? data.charts[0][0].values.length : 1;
  let view = [0, X.extent];
  let drag = null;

  const unitFor = (span) => {
    if (X.time) {
      return span < 1 ? ['ms', 1e-3] : span < 120 ? ['s', 1] : span < 7200 ? ['min', 60] : ['h', 3600];
    }
    const names = ['B', 'KiB', 'MiB', 'GiB', 'TiB'];
    let unit = 0;
    while (span >= Math.pow(1024, unit + 1) && unit + 1 < names.length) unit++;
    return [names[unit], Math.pow(1024, unit)];
  };
  const niceStep = (span, target) => {
    const raw = span / target;
    const magnitude = Math.pow(10, Math.floor(Math.log10(raw)));
    const norm = raw / magnitude;
    return (norm < 1.5 ? 1 : norm < 3.5 ? 2 : norm < 7.5 ? 5 : 10) * magnitude;
  };
  const tickLabel = (value, step) => {
    const text = value.toFixed(Math.max(0, -Math.floor(Math.log10(step) + 1e-9)));
    return /^-0(\.0*)?$/.test(text) ? text.slice(1) : text;
  };
  const plotOf = (svg) => svg.querySelector('svg.plot');
  const box = (svg) => {
    const plot = plotOf(svg);
    const at = (name) => Number(plot.getAttribute(name));
    return {left: at('x'), top: at('y'), width: at('width'), height: at('height')};
  };

  const drawAxis = (svg) => {
    const b = box(svg);
    const [unit, size] = unitFor(view[1] - view[0]);
    const from = view[0] / size;
    const to = view[1] / size;
    const step = niceStep(to - from, Math.max(2, Math.floor(b.width / 110)));
    const bottom = b.top + b.height;
    let out = '';
    for (let n = Math.ceil(from / step - 1e-9); n * step <= to + step * 1e-9; n++) {
      const px = Math.round(b.left + (n * step - from) / (to - from) * b.width);
      out += `<line class="axis" x1="${px}" y1="${bottom}" x2="${px}" y2="${bottom + 4}"/>` +
             `<text x="${px}" y="${bottom + 15}" text-anchor="middle">${tickLabel(n * step, step)}</text>`;
    }
    const caption = X.time ? 'time from start of recording' : 'position in capture';
    out += `<text x="${b.left + Math.floor(b.width / 2)}" y="${bottom + 29}" ` +
           `text-anchor="middle">${caption} (${unit})</text>`;
    svg.querySelector('g.xaxis').innerHTML = out;
  };
  const zoom = (from, to) => {
    view = [from, to];
    const scale = 2 / X.slice;
    for (const svg of charts) {
      plotOf(svg).setAttribute('viewBox', `${from * scale} 0 ${(to - from) * scale} 1000`);
      svg.dataset.x0 = String(from);
      svg.dataset.x1 = String(to);
      drawAxis(svg);
    }
  };

  const inPlot = (svg, e) => {
    const r = plotOf(svg).getBoundingClientRect();
    return e.clientX >= r.left && e.clientX <= r.right && e.clientY >= r.top && e.clientY <= r.bottom;
  };
  const xAt = (svg, clientX) => {
    const r = plotOf(svg).getBoundingClientRect();
    const part = Math.min(1, Math.max(0, (clientX - r.left) / r.width));
    return view[0] + part * (view[1] - view[0]);
  };
  const hide = () => {
    readout.hidden = true;
    for (const line of document.querySelectorAll('line.cursor')) line.remove();
  };
  const hover = (svg, e) => {
    if (drag || !inPlot(svg, e)) return hide();
    const x = xAt(svg, e.clientX);
    const slice = Math.min(slices - 1, Math.floor(x / X.slice));
    const [unit, size] = unitFor(view[1] - view[0]);
    let html = `<div class="x">${X.time ? 'time' : 'position'} ${Number((x / size).toPrecision(6))} ${unit}` +
               ` (slice ${slice})</div>`;
    for (const series of data.charts[Number(svg.dataset.chart)]) {
      const value = series.values[slice];
      html += `<div><span class="name">${series.name}</span>: ` +
              `<span class="value">${value === null ? 'none' : value}</span></div>`;
    }
    readout.innerHTML = html;
    readout.dataset.chart = svg.dataset.chart;
    readout.dataset.slice = String(slice);
    readout.style.left = `${e.pageX + 14}px`;
    readout.style.top = `${e.pageY + 14}px`;
    readout.hidden = false;
    let cursor = plotOf(svg).querySelector('line.cursor');
    if (!cursor) {
      hide();
      readout.hidden = false;
      cursor = document.createElementNS('http://www.w3.org/2000/svg', 'line');
      cursor.setAttribute('class', 'cursor');
      cursor.setAttribute('y1', '0');
      cursor.setAttribute('y2', '1000');
      plotOf(svg).appendChild(cursor);
    }
    cursor.setAttribute('x1', String(2 * slice + 1));
    cursor.setAttribute('x2', String(2 * slice + 1));
  };
  const select = (e) => {
    const r = drag.svg.getBoundingClientRect();
    const b = box(drag.svg);
    const clamp = (px) => Math.min(b.left + b.width, Math.max(b.left, px - r.left));
    const from = clamp(Math.min(drag.x, e.clientX));
    const to = clamp(Math.max(drag.x, e.clientX));
    if (!drag.rect) {
      drag.rect = document.createElementNS('http://www.w3.org/2000/svg', 'rect');
      drag.rect.setAttribute('class', 'selection');
      drag.rect.setAttribute('y', String(b.top));
      drag.rect.setAttribute('height', String(b.height));
      drag.svg.appendChild(drag.rect);
    }
    drag.rect.setAttribute('x', String(from));
    drag.rect.setAttribute('width', String(to - from));
  };

  for (const svg of charts) {
    svg.addEventListener('mousedown', (e) => {
      if (e.button !== 0 || !inPlot(svg, e)) return;
      e.preventDefault();
      hide();
      drag = {svg, x: e.clientX, rect: null};
    });
    svg.addEventListener('mousemove', (e) => hover(svg, e));
    svg.addEventListener('mouseleave', hide);
    svg.addEventListener('dblclick', () => zoom(0, X.extent));
  }
  window.addEventListener('mousemove', (e) => {
    if (drag) select(e);
  });
  window.addEventListener('mouseup', (e) => {
    if (!drag) return;
    const done = drag;
    drag = null;
    if (done.rect) done.rect.remove();
    if (Math.abs(e.clientX - done.x) < 4) return;
    const a = xAt(done.svg, done.x);
    const b = xAt(done.svg, e.clientX);
    zoom(Math.min(a, b), Math.max(a, b));
  });
})();
)js";

}  // namespace capdump
