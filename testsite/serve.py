#!/usr/bin/env python3
"""Sample reader page for end-to-end runs.

    serve.py PORT [variant]

Serves the same reader page for every path on 127.0.0.1:PORT. A query key
"v" overrides the variant per request, so one server covers every case.
When PAGINET_SITE_VARIANT names a file, a request without "v" takes the
variant named in it, so a test can change the page behind one address.
When PAGINET_SITE_LOG names a file, every load of the page appends a line
with what the page saw (screen size, touch points, platform, user agent),
so a test can check the emulated device.

The path /form serves a sign-in page with a text area and a file input,
and /ui a page with dialogs, links, a field and a hover box; both report
what they saw the same way (one JSON line, "s=...").

Each page shows a large page number on a band of its own colour
(page_colour), so a captured picture tells which page it shows.
"""
import html
import os
import random
import struct
import sys
import time
import urllib.parse
import zlib
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

# 9 single-byte characters, then 17 double-byte ones.
TITLE26 = "2024-Math高三数学期末考试试卷及参考答案解析"
VARIANTS = {
    "default": (3, TITLE26),
    "pages0": (0, TITLE26),
    "pages1": (1, TITLE26),
    "pages3": (3, TITLE26),
    "pages12": (12, TITLE26),
    "pages50": (50, TITLE26),
    "title4": (3, "试卷"),
    # ':' and '?' are refused in Windows file names.
    "badname": (3, "物理:期中考试?试卷第一套附答案及评分标准"),
    # Hostile pages: page counts no paper has, titles that would climb out
    # of pic\ or fail as folder names.
    "pagesmax": (2**31 - 1, TITLE26),
    "pages1001": (1001, TITLE26),
    "pagesneg": (-5, TITLE26),
    "pagesnan": ("auto", TITLE26),
    "escape": (2, "..\\..\\..\\考试:期中?试卷\\..\\答案解析"),
    # 24 dots, then about 10 KB more (in GBK): the prefix is dots only.
    "longtitle": (2, "." * 24 + "长标题:很长?\\.." * 700),
    # No title at all: the pictures go into pic itself.
    "notitle": (2, ""),
    # Not the reader page: none of the run's selectors match.
    "noselectors": (2, TITLE26, "bare"),
    # The reader page, but an image on it never arrives, so it never
    # finishes loading.
    "neverloads": (2, TITLE26, "hanging-image"),
    # The reader page cut off after its first overlay; the rest never comes.
    "stalled": (2, TITLE26, "cut"),
    # The reader page with every page a scan: paper grain in each colour
    # channel under dense lines of text, so a lossless picture of the view
    # runs to megabytes, as a real exam paper's does.
    "scan3": (3, TITLE26, "scan"),
    "scan12": (12, TITLE26, "scan"),
    "scan50": (50, TITLE26, "scan"),
    # Each page's picture arrives LATE_SECONDS after the page shows, a grey
    # placeholder in its place until then, as a reader on a slow network.
    "late3": (3, TITLE26, "late"),
    "late12": (12, TITLE26, "late"),
    "late50": (50, TITLE26, "late"),
    # A reader that ignores "next" for THROTTLE_SECONDS after a page shows.
    "throttled3": (3, TITLE26, "throttled"),
    # Both, on a reader that says 4 pages and turns to its third only,
    # whose picture never comes.
    "slow4": (4, TITLE26, "slow"),
}
LATE_SECONDS = 1.5
THROTTLE_SECONDS = 4
# Light grey, no page's colour.
PLACEHOLDER = (200, 200, 200)

COLOURS = [
    (230, 30, 30), (30, 170, 30), (30, 60, 230), (230, 200, 20),
    (200, 30, 200), (20, 190, 200), (240, 130, 20), (110, 40, 160),
    (120, 120, 120), (150, 90, 40), (250, 150, 180), (20, 90, 60),
]


def page_colour(page):
    """RGB of page `page` (from 1)."""
    return COLOURS[(page - 1) % len(COLOURS)]


# Tells the site log what the page saw; placed early enough to run on
# every shape of page.
REPORT = """<script>
new Image().src = '/report?' + [
  'screen=' + screen.width + 'x' + screen.height,
  'avail=' + screen.availWidth + 'x' + screen.availHeight,
  'view=' + innerWidth + 'x' + innerHeight,
  'touch=' + navigator.maxTouchPoints,
  'platform=' + encodeURIComponent(navigator.platform),
  'cores=' + navigator.hardwareConcurrency,
  'ua=' + encodeURIComponent(navigator.userAgent)].join('&');
</script>"""


def bare_page(count, title):
    return f"""<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>{html.escape(title)}</title></head>
<body style="margin:0;background:{'#%02x%02x%02x' % page_colour(1)}">
<div style="z-index: {count};">not a reader page</div>
{REPORT}
</body></html>
"""


def reader_page(count, title, extra=""):
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
var pageCount = parseInt('{count}', 10) || 0, current = 1, colours = [{colours}];
function show() {{
  document.getElementById('band').style.background = colours[(current - 1) % colours.length];
  document.getElementById('number').textContent = current;
}}
document.getElementById('next').addEventListener('click', function () {{
  if (current < pageCount) {{ current++; show(); }}
}});
show();
</script>
{REPORT}
{extra}</body></html>
"""


# Scan pages: each page's picture is paper grain that differs per page,
# pixel and channel (a PNG of its own, made here), under dense lines of
# small text, so a lossless picture of the view runs to megabytes, as a
# real exam paper's does. The page turn swaps the picture, as a reader
# does, and the next one is fetched ahead.
SCAN_SIZE = (1900, 1000)
SCAN_WORDS = ["已知", "函数", "求证", "解析", "如图", "设", "集合", "概率", "向量", "数列",
              "f(x)=ax+b", "sin", "cos", "2x+3y=7", "(1)", "(2)", "答案", "≤", "≥", "π"]
_scans = {}


def scan_png(page):
    """PNG bytes of page `page`'s grain: the same bytes on every run."""
    if page not in _scans:
        w, h = SCAN_SIZE
        grain = random.Random(page).randbytes(w * h * 3)
        grain = grain.translate(bytes(224 + (b & 31) for b in range(256)))
        rows = b"".join(b"\0" + grain[y * w * 3:(y + 1) * w * 3] for y in range(h))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
        _scans[page] = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
                        + chunk(b"IDAT", zlib.compress(rows, 6)) + chunk(b"IEND", b""))
    return _scans[page]


def scan_extra():
    rnd = random.Random(0)
    lines = []
    for _ in range(48):
        lines.append("%d. " % rnd.randrange(90) + " ".join(rnd.choice(SCAN_WORDS) for _ in range(60)))
    text = "<br>".join(html.escape(line) for line in lines)
    return f"""<style>
#scan {{ position:absolute; left:0; top:0; }}
#scan-text {{ position:absolute; left:30px; right:30px; top:100px; font-size:13px; line-height:17px;
  color:rgba(20,20,30,0.85); white-space:nowrap; overflow:hidden; }}
</style>
<script>
(function () {{
  var page = document.getElementById('page');
  page.insertAdjacentHTML('afterbegin', '<img id="scan" alt=""><div id="scan-text">{text}</div>');
  var plainShow = show;
  show = function () {{
    plainShow();
    document.getElementById('scan').src = '/scan/' + current + '.png';
    new Image().src = '/scan/' + (current + 1) + '.png';
  }};
  show();
}})();
</script>
"""


def late_extra(never=0):
    """Page pictures that arrive late; page `never`'s never does."""
    return """<style>
#late, #late-wait { position:absolute; left:0; right:0; top:200px; height:300px; width:100%%; }
#late-wait { background:#%02x%02x%02x; }
</style>
<script>
(function () {
  var page = document.getElementById('page');
  page.insertAdjacentHTML('beforeend', '<img id="late" alt=""><div id="late-wait"></div>');
  var img = document.getElementById('late'), wait = document.getElementById('late-wait');
  img.onload = function () {
    wait.style.display = 'none';
    window.shownAt = Date.now();   // the page shows once its picture does
  };
  var plainShow = show;
  show = function () {
    plainShow();
    wait.style.display = 'block';
    img.src = current === %d ? '/hang' : '/late/' + current + '.png';
  };
  show();
})();
</script>
""" % (PLACEHOLDER + (never,))


def throttled_extra(pages):
    """Ignores "next" for a while after each page shows; turns no further
    than page `pages`. Each ignored click is reported ("ignored=<page>")."""
    return f"""<script>
(function () {{
  window.shownAt = Date.now();
  document.addEventListener('click', function (e) {{
    if (e.target.id !== 'next') return;
    if (Date.now() - window.shownAt < {THROTTLE_SECONDS * 1000} || current >= {pages}) {{
      e.stopImmediatePropagation();
      new Image().src = '/report?ignored=' + current;
      return;
    }}
    window.shownAt = Date.now();
  }}, true);
}})();
</script>
"""


def solid_png(rgb):
    """A 1 x 1 PNG of one colour."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 1, 1, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(b"\0" + bytes(rgb))) + chunk(b"IEND", b""))


def current_variant(default):
    path = os.environ.get("PAGINET_SITE_VARIANT")
    if path and os.path.exists(path):
        with open(path, encoding="utf-8") as f:
            return f.read().strip() or default
    return default


def hang():
    """Holds a request open until the server is stopped."""
    while True:
        time.sleep(3600)


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
        if url.path == "/hang":
            hang()
        if url.path.startswith("/scan/") and url.path.endswith(".png"):
            try:
                body = scan_png(int(url.path[6:-4]))
            except ValueError:
                self.send_error(404)
                return
            self.send_response(200)
            self.send_header("Content-Type", "image/png")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
            return
        if url.path.startswith("/late/") and url.path.endswith(".png"):
            try:
                body = solid_png(page_colour(int(url.path[6:-4])))
            except ValueError:
                self.send_error(404)
                return
            time.sleep(LATE_SECONDS)
            self.send_response(200)
            self.send_header("Content-Type", "image/png")
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(body)
            return
        if url.path in ("/form", "/ui"):
            # Pages a person uses: sign in, type, copy and paste, upload;
            # dialogs, history, the menu, hover and focus.
            with open(os.path.join(os.path.dirname(__file__), url.path[1:] + ".html"), "rb") as f:
                body = f.read()
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(body)
            return
        name = query.get("v", [current_variant(self.variant)])[0]
        if name not in VARIANTS:
            self.send_error(404, "unknown variant")
            return
        count, title, *shape = VARIANTS[name]
        shape = shape[0] if shape else "reader"
        if shape == "bare":
            body = bare_page(count, title)
        elif shape == "scan":
            body = reader_page(count, title, scan_extra())
        elif shape == "late":
            body = reader_page(count, title, late_extra())
        elif shape == "throttled":
            body = reader_page(count, title, throttled_extra(count))
        elif shape == "slow":
            body = reader_page(count, title, late_extra(count - 1) + throttled_extra(count - 1))
        elif shape == "hanging-image":
            body = reader_page(count, title, '<img src="/hang" alt="">\n')
        else:
            body = reader_page(count, title)
        body = body.encode("utf-8")
        if shape == "cut":
            # No length and no end: the browser shows what came and waits.
            body = body[:body.index(b'<div class="page-read-wrapper">')] + REPORT.encode()
            self.send_response(200)
            self.send_header("Content-Type", "text/html; charset=utf-8")
            self.send_header("Cache-Control", "no-store")
            self.end_headers()
            self.wfile.write(body)
            self.wfile.flush()
            hang()
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
