#!/usr/bin/env python3
"""Chromium's own screenshot of a page target, over the DevTools protocol.

    page_shot.py HOST:PORT URL_PART OUT.png

Takes the first page target whose address contains URL_PART and writes its
Page.captureScreenshot (PNG) to OUT.png. A minimal WebSocket client: one
masked text frame out, unmasked frames in.
"""
import base64
import json
import os
import socket
import struct
import sys
import urllib.request


def frame(text):
    data = text.encode()
    mask = os.urandom(4)
    head = b"\x81"
    n = len(data)
    if n < 126:
        head += bytes([0x80 | n])
    elif n < 65536:
        head += bytes([0x80 | 126]) + struct.pack(">H", n)
    else:
        head += bytes([0x80 | 127]) + struct.pack(">Q", n)
    return head + mask + bytes(b ^ mask[i % 4] for i, b in enumerate(data))


def read_exact(sock, n):
    out = b""
    while len(out) < n:
        chunk = sock.recv(n - len(out))
        if not chunk:
            raise EOFError("connection closed")
        out += chunk
    return out


def read_message(sock):
    data = b""
    while True:
        b0, b1 = read_exact(sock, 2)
        n = b1 & 0x7F
        if n == 126:
            n = struct.unpack(">H", read_exact(sock, 2))[0]
        elif n == 127:
            n = struct.unpack(">Q", read_exact(sock, 8))[0]
        data += read_exact(sock, n)
        if b0 & 0x80:
            return data.decode()


def main():
    endpoint, part, out = sys.argv[1:4]
    targets = json.load(urllib.request.urlopen(f"http://{endpoint}/json/list", timeout=5))
    target = next(t for t in targets if t.get("type") == "page" and part in t.get("url", ""))
    host, port = endpoint.split(":")
    path = target["webSocketDebuggerUrl"].split(endpoint, 1)[1]
    sock = socket.create_connection((host, int(port)), timeout=20)
    key = base64.b64encode(os.urandom(16)).decode()
    sock.sendall((f"GET {path} HTTP/1.1\r\nHost: {endpoint}\r\nUpgrade: websocket\r\n"
                  f"Connection: Upgrade\r\nSec-WebSocket-Key: {key}\r\n"
                  "Sec-WebSocket-Version: 13\r\n\r\n").encode())
    head = b""
    while b"\r\n\r\n" not in head:
        head += read_exact(sock, 1)
    if b" 101 " not in head.split(b"\r\n")[0]:
        sys.exit("no WebSocket upgrade")
    sock.sendall(frame(json.dumps({"id": 1, "method": "Page.captureScreenshot",
                                   "params": {"format": "png"}})))
    while True:
        msg = json.loads(read_message(sock))
        if msg.get("id") == 1:
            break
    with open(out, "wb") as f:
        f.write(base64.b64decode(msg["result"]["data"]))


if __name__ == "__main__":
    main()
