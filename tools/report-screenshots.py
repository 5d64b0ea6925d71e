#!/usr/bin/env python3
"""The README's screenshots of a --report page: the charts along the recording as the page opens,
and after a drag across the packet rate chart zoomed every chart, with the read-out of a hover.

Usage: tools/report-screenshots.py PAGE.html BEFORE.png AFTER.png
Needs Debian's python3-selenium and chromium-driver.
"""
import shutil
import sys

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By


def main():
    page, before, after = sys.argv[1:4]
    options = webdriver.ChromeOptions()
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                     "--window-size=1180,1000"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
    try:
        driver.get("file://" + page)
        heading = driver.find_elements(By.TAG_NAME, "h2")[1]  # the first after the facts
        to_heading = "window.scrollTo(0, arguments[0].getBoundingClientRect().top + scrollY)"
        driver.execute_script(to_heading, heading)
        driver.save_screenshot(before)
        charts = driver.find_elements(By.CSS_SELECTOR, "svg.chart")
        rates = [c for c in charts if "Packet rate" in c.text][0]
        plot = rates.find_element(By.CSS_SELECTOR, "svg.plot")
        width = plot.size["width"]
        ActionChains(driver).move_to_element_with_offset(plot, width // 10, 0).click_and_hold() \
            .move_by_offset(width // 8, 0).release().perform()
        driver.execute_script(to_heading, heading)
        box = driver.execute_script(
            "return arguments[0].getBoundingClientRect().toJSON()",
            charts[1].find_element(By.CSS_SELECTOR, "svg.plot"))
        hover = ActionBuilder(driver)  # at viewport coordinates: no scrolling
        hover.pointer_action.move_to_location(int(box["left"] + box["width"] * 0.7),
                                              int(box["top"] + box["height"] / 2))
        hover.perform()
        driver.save_screenshot(after)
    finally:
        driver.quit()


if __name__ == "__main__":
    main()
