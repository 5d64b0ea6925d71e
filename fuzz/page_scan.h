// page_scan.h - a scan of an HTML page as capdump writes it, for the report page's fuzz target:
// whether its tags nest, and the text of its JSON scripts. Not a general HTML parser: it knows
// the doctype, comments, void elements, self-closed SVG elements, quoted attribute values and
// the raw text of <script> and <style>.
#ifndef PROTOLIB_FUZZ_PAGE_SCAN_H
#define PROTOLIB_FUZZ_PAGE_SCAN_H

#include <string_view>
#include <vector>

struct PageScan {
  // Every element opened is closed in order, no '<' starts anything but a tag, a comment or the
  // doctype, and no attribute value or text holds a number written as NaN or infinity.
  bool well_formed = false;
  std::vector<std::string_view> json_scripts;  // bodies of <script type="application/json">
};

// Scans page, which must start with "<!DOCTYPE html>". Prose may say "NaN"; a number may not:
// attribute values hold no nan, inf or infinity in any case, with or without a sign, and text
// none of the lowercase forms printf writes (nan, inf, with or without a minus).
PageScan scan_page(std::string_view page);

#endif  // PROTOLIB_FUZZ_PAGE_SCAN_H
