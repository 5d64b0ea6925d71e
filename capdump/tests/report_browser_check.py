#!/usr/bin/env python3
"""capdump --report pages in headless Chromium, driven as a user would: a damaged capture's page
without a clock and with one (its recording spliced, so the clock has a dropout). Each page must
load without a console message; a drag across one chart must zoom every chart to the same x
range; hovering must read out the embedded value of each series in the slice under the pointer;
a double-click must restore the whole range; and with JavaScript off every chart must be there.

Usage: report_browser_check.py CAPDUMP CAPGEN WORKDIR
Exits 77 (skipped) when Selenium or chromedriver is missing.
"""
import json
import math
import os
import shutil
import subprocess
import sys

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
except ImportError:
    print("python3-selenium is not installed: skipped")
    sys.exit(77)

CHROMEDRIVER = shutil.which("chromedriver")


def browser(javascript=True):
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--window-size=1400,1000"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    if not javascript:
        options.add_experimental_option(
            "prefs", {"profile.managed_default_content_settings.javascript": 2})
    return webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)


def x_ranges(driver):
    return [(float(c.get_attribute("data-x0")), float(c.get_attribute("data-x1")))
            for c in driver.find_elements(By.CSS_SELECTOR, "svg.chart")]


def check_page(page, expect_dropouts):
    """Runs the interactive checks on one page; returns the faults found."""
    faults = []
    driver = browser()
    try:
        driver.get("file://" + page)
        data = json.loads(driver.find_element(By.ID, "capdump-charts").get_attribute("textContent"))
        extent = data["x"]["extent"]
        charts = driver.find_elements(By.CSS_SELECTOR, "svg.chart")
        whole = x_ranges(driver)
        if not charts or any(r != (0, extent) for r in whole):
            faults.append(f"{len(charts)} charts, x ranges before a zoom {set(whole)}")
        dropouts = len(driver.find_elements(By.CSS_SELECTOR, "rect.dropout"))
        if (dropouts > 0) != expect_dropouts:
            faults.append(f"{dropouts} dropouts shaded")

        # Drag across the middle half of the last chart's plot.
        plot = charts[-1].find_element(By.CSS_SELECTOR, "svg.plot")
        driver.execute_script("arguments[0].scrollIntoView({block: 'center'})", plot)
        width = plot.size["width"]
        ActionChains(driver).move_to_element_with_offset(plot, -width // 4, 0).click_and_hold() \
            .move_by_offset(width // 2, 0).release().perform()
        zoomed = x_ranges(driver)
        low, high = zoomed[0]
        if len(set(zoomed)) != 1 or not 0.2 * extent < low < high < 0.8 * extent:
            faults.append(f"after a drag the x ranges are {set(zoomed)} of 0 to {extent}")

        # Hover a third of the way into the first chart's plot.
        plot = charts[0].find_element(By.CSS_SELECTOR, "svg.plot")
        driver.execute_script("arguments[0].scrollIntoView({block: 'center'})", plot)
        width = plot.size["width"]
        ActionChains(driver).move_to_element_with_offset(plot, -width // 6, 0).perform()
        readout = driver.find_element(By.ID, "readout")
        chart = int(readout.get_attribute("data-chart"))
        slice_ = int(readout.get_attribute("data-slice"))
        expected = math.floor((low + (high - low) / 3) / data["x"]["slice"])
        if chart != 0 or abs(slice_ - expected) > 1:
            faults.append(f"the read-out shows chart {chart} slice {slice_}, not 0 and {expected}")
        names = [e.text for e in readout.find_elements(By.CSS_SELECTOR, ".name")]
        shown = [e.text for e in readout.find_elements(By.CSS_SELECTOR, ".value")]
        series = data["charts"][chart]
        if names != [s["name"] for s in series]:
            faults.append(f"the read-out names {names}")
        for s, text in zip(series, shown):
            value = s["values"][slice_]
            if (value is None and text != "none") or (value is not None and float(text) != value):
                faults.append(f"{s['name']} reads {text}, the data holds {value}")

        ActionChains(driver).double_click(plot).perform()
        if any(r != (0, extent) for r in x_ranges(driver)):
            faults.append(f"after a double-click the x ranges are {set(x_ranges(driver))}")
        messages = driver.get_log("browser")
        if messages:
            faults.append(f"console: {messages}")
        summary = (f"{len(charts)} charts, {dropouts} dropouts shaded, zoomed to "
                   f"{low:.6g} to {high:.6g} of {extent:.6g}, read-out of slice {slice_}: "
                   f"{dict(zip(names, shown))}")
    finally:
        driver.quit()

    driver = browser(javascript=False)
    try:
        driver.get("file://" + page)
        with open(page, encoding="utf-8") as f:
            written = f.read().count('<svg class="chart"')
        shown = [c for c in driver.find_elements(By.CSS_SELECTOR, "svg.chart")
                 if c.size["height"] > 0 and c.find_elements(By.CSS_SELECTOR, "path")]
        if len(shown) != written or len(charts) != written:
            faults.append(f"without JavaScript {len(shown)} of {written} charts are drawn")
        ActionChains(driver).move_to_element(shown[0]).perform()
        if driver.find_element(By.ID, "readout").is_displayed():
            faults.append("the script ran with JavaScript off")
    finally:
        driver.quit()
    print(f"{os.path.basename(page)}: {summary}; {'; '.join(faults) or 'ok'}")
    return faults


def main():
    if CHROMEDRIVER is None:
        print("chromedriver is not installed: skipped")
        sys.exit(77)
    capdump, capgen, work = sys.argv[1:4]
    os.makedirs(work, exist_ok=True)
    capture = os.path.abspath(os.path.join(work, "damaged.cap"))
    subprocess.run([capgen, "--size", "2M", "--damage", "all", "--damage-rate", "0.02",
                    "--seed", "3", capture], check=True)
    with open(capture, "rb") as f:
        recording = f.read()
    spliced = capture.replace("damaged", "spliced")
    with open(spliced, "wb") as f:  # a stretch left out: the clock jumps over it
        f.write(recording[:len(recording) // 2] + recording[len(recording) * 3 // 4:])
    faults = []
    for source, extra, dropouts in ((capture, [], False),
                                    (spliced, ["--clock", "10.lead:ms"], True)):
        page = source + ".html"
        subprocess.run([capdump, "--recover", *extra, "--report", page, source], check=True)
        faults += check_page(page, dropouts)
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
