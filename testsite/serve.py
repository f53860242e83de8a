#!/usr/bin/env python3
"""Sample reader page for end-to-end runs.

    serve.py PORT [variant]

Serves the same reader page for every path on 127.0.0.1:PORT. A query key
"v" overrides the variant per request, so one server covers every case.
When PAGINET_SITE_LOG names a file, every load of the page appends a line
with what the page saw (screen size, touch points, platform, user agent),
so a test can check the emulated device.

Each page shows a large page number on a band of its own colour
(page_colour), so a captured picture tells which page it shows.
"""
import html
import os
import sys
import urllib.parse
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

# 9 single-byte characters, then 17 double-byte ones.
TITLE26 = "2024-Math高三数学期末考试试卷及参考答案解析"
VARIANTS = {
    "default": (3, TITLE26),
    "pages0": (0, TITLE26),
    "pages1": (1, TITLE26),
    "pages3": (3, TITLE26),
    "pages12": (12, TITLE26),
    "title4": (3, "试卷"),
    # ':' and '?' are refused in Windows file names.
    "badname": (3, "物理:期中考试?试卷第一套附答案及评分标准"),
}

COLOURS = [
    (230, 30, 30), (30, 170, 30), (30, 60, 230), (230, 200, 20),
    (200, 30, 200), (20, 190, 200), (240, 130, 20), (110, 40, 160),
    (120, 120, 120), (150, 90, 40), (250, 150, 180), (20, 90, 60),
]


def page_colour(page):
    """RGB of page `page` (from 1)."""
    return COLOURS[(page - 1) % len(COLOURS)]


def reader_page(count, title):
    colours = ",".join("'#%02x%02x%02x'" % page_colour(i + 1) for i in range(len(COLOURS)))
    # The page count must be the first "z-index: " of the document, so the
    # style sheet spells its own without the space.
    return f"""<!DOCTYPE html>
<html><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{html.escape(title)}</title>
<style>
html, body {{ margin:0; padding:0; background:#fff; overflow:hidden; font-family:sans-serif; }}
#qr-body {{ position:absolute; left:0; top:0; right:0; bottom:0; }}
.page-read-bg {{ position:absolute; left:0; top:0; right:0; bottom:0; background:#444; z-index:1; }}
.page-read-top {{ position:absolute; left:0; top:0; right:0; height:90px; background:#222; color:#fff; z-index:5; font-size:30px; }}
.page {{ position:absolute; left:0; top:0; right:0; bottom:0; background:#fff; z-index:2; }}
.band {{ position:absolute; left:0; right:0; top:200px; height:300px; }}
.number {{ position:absolute; left:0; right:0; top:200px; height:300px; line-height:300px; text-align:center; font-size:260px; font-weight:bold; color:#fff; }}
.page-shadow, .bg-shadow {{ position:absolute; left:0; top:0; right:0; bottom:0; background:rgba(0,0,0,0.35); z-index:3; }}
.bottom-wrapper {{ position:absolute; left:0; right:0; bottom:0; height:90px; background:#222; z-index:5; }}
.flip-page-options {{ position:absolute; right:20px; bottom:100px; z-index:6; display:flex; }}
.flip-page-options > div {{ width:80px; height:50px; margin-left:8px; background:#888; }}
</style></head>
<body><div id="qr-body" style="z-index: {count};">
<div class="page-read-bg"></div>
<div class="page-read-wrapper">
<div class="page-read-top">{html.escape(title)}</div>
<content><div>
<div class="page" id="page"><div class="band" id="band"></div><div class="number" id="number">1</div></div>
<div class="page-shadow"></div>
<div class="bg-shadow"></div>
</div></content>
<div class="page-read-bottom">
<div class="bottom-wrapper"></div>
<div class="flip-page-options"><div></div><div></div><div><div id="next">&gt;</div></div></div>
</div>
</div>
</div>
<script>
var pageCount = {count}, current = 1, colours = [{colours}];
function show() {{
  document.getElementById('band').style.background = colours[(current - 1) % colours.length];
  document.getElementById('number').textContent = current;
}}
document.getElementById('next').addEventListener('click', function () {{
  if (current < pageCount) {{ current++; show(); }}
}});
show();
new Image().src = '/report?' + [
  'screen=' + screen.width + 'x' + screen.height,
  'avail=' + screen.availWidth + 'x' + screen.availHeight,
  'view=' + innerWidth + 'x' + innerHeight,
  'touch=' + navigator.maxTouchPoints,
  'platform=' + encodeURIComponent(navigator.platform),
  'cores=' + navigator.hardwareConcurrency,
  'ua=' + encodeURIComponent(navigator.userAgent)].join('&');
</script>
</body></html>
"""


class Handler(BaseHTTPRequestHandler):
    variant = "default"

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/favicon.ico":
            self.send_error(404)
            return
        query = urllib.parse.parse_qs(url.query)
        if url.path == "/report":
            log = os.environ.get("PAGINET_SITE_LOG")
            if log:
                fields = " ".join("%s=%s" % (k, v[0]) for k, v in sorted(query.items()))
                with open(log, "a", encoding="utf-8") as f:
                    f.write(fields + "\n")
            self.send_response(204)
            self.end_headers()
            return
        name = query.get("v", [self.variant])[0]
        if name not in VARIANTS:
            self.send_error(404, "unknown variant")
            return
        body = reader_page(*VARIANTS[name]).encode("utf-8")
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, fmt, *args):
        pass


def main():
    if len(sys.argv) < 2:
        sys.exit("usage: serve.py PORT [variant]")
    port = int(sys.argv[1])
    Handler.variant = sys.argv[2] if len(sys.argv) > 2 else "default"
    if Handler.variant not in VARIANTS:
        sys.exit("unknown variant %s; one of %s" % (Handler.variant, ", ".join(VARIANTS)))
    ThreadingHTTPServer(("127.0.0.1", port), Handler).serve_forever()


if __name__ == "__main__":
    main()
