#!/usr/bin/python3
"""A CalDAV server that misbehaves in one way, on loopback, for the sync's bad-input tests.

usage: misbehaving_dav.py PORT MODE [ARGS]
  garbage                 answers PROPFIND with bytes that are no XML
  huge                    answers PROPFIND with an endless multi-status (stops at 1 GB)
  redirect                sends every request to another host
  unavailable             answers every request with 503
  wrong-etag              one item whose ETag it refuses (412) and keeps giving
  nested                  one item of 100,000 to-dos, each inside the one before
  expired-tls FOLDER      a calendar behind TLS whose certificate expired yesterday; the
                          authority that signed it goes to FOLDER/ca.pem
  hostile-hrefs FOLDER [MORE]
                          a working calendar whose listings, sync reports and multiget
                          answers also name resources outside it (another collection, dot
                          segments, another host, scheme or port, a deeper path), with
                          items of their own, and MORE others in another collection; every
                          request's method and path goes to FOLDER/requests.log
  proxy TARGET STOP [without-sync-tokens] [drop-from-multiget | multiget-404]
                          forwards to TARGET and dies at request number STOP (0: never),
                          printing each request's method, path and status;
                          without-sync-tokens: hides the calendar's sync token;
                          drop-from-multiget: answers a calendar-multiget without any of
                          the items asked for; multiget-404: answers 404 for each of them
"""
import http.client
import os
import re
import ssl
import sys
import urllib.parse
import zlib
from http.server import BaseHTTPRequestHandler, HTTPServer

PORT = int(sys.argv[1])
MODE = sys.argv[2]
ARGS = sys.argv[3:]
CAL = "/user/cal/"
ITEM = CAL + "x.ics"
ETAG = '"e1"'
OBJECT = ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bad//EN\r\nBEGIN:VTODO\r\nUID:x\r\n"
          "DTSTAMP:20260101T000000Z\r\nSUMMARY:Server item\r\nEND:VTODO\r\nEND:VCALENDAR\r\n")
NESTED = ("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bad//EN\r\n" +
          "BEGIN:VTODO\r\nUID:x\r\n" * 100000 + "END:VTODO\r\n" * 100000 + "END:VCALENDAR\r\n")
requests = 0
# The hostile server's calendar: path to (ETag, object).
stored = {ITEM: (ETAG, OBJECT)}


def multistatus(responses):
    return ('<?xml version="1.0"?><d:multistatus xmlns:d="DAV:" '
            'xmlns:c="urn:ietf:params:xml:ns:caldav">' + "".join(responses) +
            "</d:multistatus>").encode()


def response(href, props):
    return ("<d:response><d:href>%s</d:href><d:propstat><d:prop>%s</d:prop>"
            "<d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response>" % (href, props))


CALENDAR = response(CAL, "<d:resourcetype><d:collection/><c:calendar/></d:resourcetype>"
                         "<d:displayname>Bad</d:displayname>")


def multiget_without_items(data, as_not_found):
    """The multiget's answer with no item in it, or with 404 for each."""
    import xml.etree.ElementTree as ET

    ET.register_namespace("d", "DAV:")
    ET.register_namespace("c", "urn:ietf:params:xml:ns:caldav")
    root = ET.fromstring(data)
    for answer in root.findall("{DAV:}response"):
        if not as_not_found:
            root.remove(answer)
            continue
        for child in list(answer):
            if child.tag != "{DAV:}href":
                answer.remove(child)
        ET.SubElement(answer, "{DAV:}status").text = "HTTP/1.1 404 Not Found"
    return ET.tostring(root)


def without_sync_tokens(data):
    """The multi-status without any sync-token property, as a server without them sends."""
    import xml.etree.ElementTree as ET

    ET.register_namespace("d", "DAV:")
    ET.register_namespace("c", "urn:ietf:params:xml:ns:caldav")
    root = ET.fromstring(data)
    for parent in root.iter():
        for child in list(parent):
            if child.tag == "{DAV:}sync-token":
                parent.remove(child)
    return ET.tostring(root)


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def body(self):
        return self.rfile.read(int(self.headers.get("Content-Length") or 0))

    def answer(self, status, data=b"", headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def handle_any(self):
        global requests
        requests += 1
        if MODE == "hostile-hrefs":
            with open(os.path.join(ARGS[0], "requests.log"), "a") as log:
                log.write("%s %s\n" % (self.command, self.path))
        request = self.body()
        getattr(self, MODE.replace("-", "_"))(request)

    do_PROPFIND = do_REPORT = do_PUT = do_GET = do_DELETE = handle_any

    def garbage(self, request):
        self.answer(207, b"<<<\x00 this is not XML at all >>>")

    def huge(self, request):
        self.send_response(207)
        self.send_header("Connection", "close")
        self.end_headers()
        chunk = ("<d:response><d:href>/x</d:href></d:response>" * 1000).encode()
        try:
            self.wfile.write(b'<d:multistatus xmlns:d="DAV:">')
            for _ in range((1 << 30) // len(chunk)):
                self.wfile.write(chunk)
        except OSError:
            pass
        self.close_connection = True

    def unavailable(self, request):
        self.answer(503, b"down for maintenance")

    def redirect(self, request):
        self.answer(301, headers=[("Location", "http://127.0.0.2:%d%s" % (PORT, self.path))])

    def calendar(self, request, items, item=OBJECT):
        depth = self.headers.get("Depth", "0")
        if self.command == "PROPFIND":
            listing = [CALENDAR] + ([response(ITEM, "<d:getetag>%s</d:getetag>" % ETAG)]
                                    if depth == "1" and items else [])
            self.answer(207, multistatus(listing))
        elif self.command == "REPORT":
            self.answer(207, multistatus([response(ITEM, "<d:getetag>%s</d:getetag>"
                                                         "<c:calendar-data>%s</c:calendar-data>"
                                                   % (ETAG, item))]))
        elif self.command == "GET":
            if self.path == ITEM and items:
                self.answer(200, item.encode(), [("ETag", ETAG)])
            else:
                self.answer(404)
        elif self.headers.get("If-Match"):
            self.answer(412)  # whatever ETag it was given, even its own
        else:
            self.answer(201, headers=[("ETag", '"new"')])

    def wrong_etag(self, request):
        self.calendar(request, True)

    def nested(self, request):
        self.calendar(request, True, NESTED)

    def expired_tls(self, request):
        self.calendar(request, False)

    def hostile_hrefs(self, request):
        outside = hostile_hrefs()
        if self.command == "PROPFIND":
            listing = [response(CAL, "<d:resourcetype><d:collection/><c:calendar/>"
                                     "</d:resourcetype><d:displayname>Bad</d:displayname>"
                                     "<d:sync-token>http://bad/sync/1</d:sync-token>")]
            if self.headers.get("Depth") == "1":
                listing += [response(path, "<d:getetag>%s</d:getetag>" % etag)
                            for path, (etag, _) in stored.items()]
                listing += [response(href, '<d:getetag>"o"</d:getetag>') for href, _ in outside]
            self.answer(207, multistatus(listing))
        elif self.command == "REPORT" and b"sync-collection" in request:
            changes = [response(path, "<d:getetag>%s</d:getetag>" % etag)
                       for path, (etag, _) in stored.items()]
            changes += [response(href, '<d:getetag>"o"</d:getetag>') for href, _ in outside]
            changes.append("<d:response><d:href>../victim/gone.ics</d:href>"
                           "<d:status>HTTP/1.1 404 Not Found</d:status></d:response>")
            self.answer(207, multistatus(changes).replace(
                b"</d:multistatus>", b"<d:sync-token>http://bad/sync/2</d:sync-token>"
                                     b"</d:multistatus>"))
        elif self.command == "REPORT":
            # Whatever was asked for, inside or not; then the outside ones unasked.
            answers = []
            for href in re.findall(r"<d:href>([^<]*)</d:href>", request.decode()):
                path = urllib.parse.urlsplit(href).path
                etag, ics = stored.get(path, ('"o"', victim(href)))
                answers.append(response(href, "<d:getetag>%s</d:getetag><c:calendar-data>%s"
                                              "</c:calendar-data>" % (etag, ics)))
            answers += [response(href, '<d:getetag>"o"</d:getetag><c:calendar-data>%s'
                                       '</c:calendar-data>' % ics) for href, ics in outside]
            self.answer(207, multistatus(answers))
        elif self.command == "GET" and self.path in stored:
            etag, ics = stored[self.path]
            self.answer(200, ics.encode(), [("ETag", etag)])
        elif self.command == "PUT":
            old = stored.get(self.path)
            match = self.headers.get("If-Match")
            if (match and (not old or old[0] != match)) or (
                    self.headers.get("If-None-Match") and old):
                self.answer(412)
                return
            etag = '"%d"' % requests
            stored[self.path] = (etag, request.decode())
            self.answer(204 if old else 201, headers=[("ETag", etag)])
        elif self.command == "DELETE" and self.path in stored:
            del stored[self.path]
            self.answer(204)
        else:
            self.answer(404)

    def proxy(self, request):
        target = urllib.parse.urlsplit(ARGS[0])
        if int(ARGS[1]) and requests >= int(ARGS[1]):
            os._exit(0)  # the server stops: this request gets no answer
        connection = http.client.HTTPConnection(target.hostname, target.port, timeout=120)
        headers = {k: v for k, v in self.headers.items() if k.lower() != "host"}
        connection.request(self.command, self.path, body=request, headers=headers)
        reply = connection.getresponse()
        data = reply.read()
        if "without-sync-tokens" in ARGS[2:] and reply.status == 207:
            data = without_sync_tokens(data)
        if b"calendar-multiget" in request and reply.status == 207:
            for option in set(ARGS[2:]) & {"drop-from-multiget", "multiget-404"}:
                data = multiget_without_items(data, option == "multiget-404")
        print(self.command, self.path, reply.status, flush=True)  # the test counts them
        self.answer(reply.status, data,
                    [(k, v) for k, v in reply.getheaders()
                     if k.lower() not in ("content-length", "transfer-encoding", "connection")])


def victim(href):
    """An item of the server's own making for the resource the href names."""
    return OBJECT.replace("UID:x", "UID:victim-" + str(zlib.crc32(href.encode()))).replace(
        "Server item", "Victim at " + href)


def hostile_hrefs():
    """Resources outside the calendar, as the server names them, each with an item: one
    of them claims the calendar's own item."""
    other = "http://127.0.0.1:%d" % PORT
    hrefs = ["../victim/a.ics", "/user/cal/../../etc/passwd", "http://127.0.0.2:%d/user/cal/b.ics"
             % PORT, "https://127.0.0.1:%d/user/cal/c.ics" % PORT,
             "http://127.0.0.1:%d/user/cal/d.ics" % (PORT + 1), "/user/cal/sub/e.ics",
             "/user/cal/%2e%2e", "/user/cal/f%2Fg.ics", "//127.0.0.2/user/cal/h.ics",
             other + "/user/other/i.ics"]
    outside = [(href, victim(href)) for href in hrefs]
    outside.append(("../victim/x.ics", OBJECT.replace("Server item", "Hijacked")))
    more = int(ARGS[1]) if len(ARGS) > 1 else 0
    return outside + [("../many/%d.ics" % i, victim("../many/%d.ics" % i)) for i in range(more)]


def expired_certificate(folder):
    """A certificate authority and a certificate for 127.0.0.1 that it signed, which
    expired yesterday."""
    import datetime
    import ipaddress

    from cryptography import x509
    from cryptography.hazmat.primitives import hashes, serialization
    from cryptography.hazmat.primitives.asymmetric import ec
    from cryptography.x509.oid import NameOID

    now = datetime.datetime.now(datetime.timezone.utc)
    day = datetime.timedelta(days=1)

    def name(text):
        return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, text)])

    ca_key, key = ec.generate_private_key(ec.SECP256R1()), ec.generate_private_key(ec.SECP256R1())
    ca = (x509.CertificateBuilder().subject_name(name("Test authority"))
          .issuer_name(name("Test authority")).public_key(ca_key.public_key())
          .serial_number(1).not_valid_before(now - 30 * day).not_valid_after(now + 30 * day)
          .add_extension(x509.BasicConstraints(ca=True, path_length=None), critical=True)
          .sign(ca_key, hashes.SHA256()))
    cert = (x509.CertificateBuilder().subject_name(name("127.0.0.1"))
            .issuer_name(ca.subject).public_key(key.public_key())
            .serial_number(2).not_valid_before(now - 10 * day).not_valid_after(now - day)
            .add_extension(x509.SubjectAlternativeName(
                [x509.IPAddress(ipaddress.ip_address("127.0.0.1"))]), critical=False)
            .sign(ca_key, hashes.SHA256()))
    pem = serialization.Encoding.PEM
    with open(os.path.join(folder, "cert.pem"), "wb") as f:
        f.write(cert.public_bytes(pem))
        f.write(key.private_bytes(pem, serialization.PrivateFormat.PKCS8,
                                  serialization.NoEncryption()))
    with open(os.path.join(folder, "ca.pem"), "wb") as f:
        f.write(ca.public_bytes(pem))
    return os.path.join(folder, "cert.pem")


# Everything is ready before the port opens, which is what the tests wait for.
certificate = expired_certificate(ARGS[0]) if MODE == "expired-tls" else None
server = HTTPServer(("127.0.0.1", PORT), Handler)
if certificate:
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(certificate)
    server.socket = context.wrap_socket(server.socket, server_side=True)
server.serve_forever()
