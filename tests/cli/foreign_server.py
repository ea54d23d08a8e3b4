#!/usr/bin/env python3
"""A usage API written independently of the program (Python's http.server
over TLS), serving fixed replies, so the command-line tool can be checked
against a server that is not the project's own simulator.

usage: foreign_server.py CERT KEY PORTFILE
Writes the port it listens on into PORTFILE, then serves until killed."""
import base64
import http.server
import ssl
import sys

REPLIES = {
    "/api/v1.5/": """<?xml version="1.0"?>
<corvalink><api><services><service type="Home">77</service></services></api></corvalink>""",
    "/api/v1.5/77/usage": """<?xml version="1.0"?>
<corvalink><api><traffic name="total" quota="50000000000" rollover="2014-06-15">1234567890</traffic></api></corvalink>""",
    "/api/v1.5/77/service": """<?xml version="1.0"?>
<corvalink><api><service><speed>Fast</speed><plan>Quarterly Easy 50</plan></service></api></corvalink>""",
}
EXPECTED_AUTH = "Basic " + base64.b64encode(b"someone:secret").decode()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        if self.headers.get("Authorization") != EXPECTED_AUTH:
            body, status = b"denied", 401
        elif self.path in REPLIES:
            body, status = REPLIES[self.path].encode(), 200
        else:
            body, status = b"not found", 404
        self.send_response(status)
        self.send_header("Content-Type", "text/xml")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def main():
    cert, key, portfile = sys.argv[1:4]
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    with open(portfile, "w") as f:
        f.write(str(server.server_address[1]))
    server.serve_forever()


main()
