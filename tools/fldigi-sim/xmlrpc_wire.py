"""fldigi's XML-RPC on the wire, as the stand-in writes and reads it: answers and faults with
fldigi's framing and escaping, calls parsed with every byte kept as one character."""

import xml.parsers.expat
import xmlrpc.client


class Fault(Exception):
    """An XML-RPC fault with fldigi's code -1."""


def text_to_bytes(text):
    """Strings are kept as one character per received byte; characters above 255 (from
    character references) go out as UTF-8."""
    try:
        return text.encode("latin-1")
    except UnicodeEncodeError:
        return b"".join(c.encode("latin-1") if ord(c) < 256 else c.encode("utf-8")
                        for c in text)


def escape(text):
    for raw, entity in (("&", "&amp;"), ("<", "&lt;"), (">", "&gt;"), ('"', "&quot;"),
                        ("'", "&apos;")):
        text = text.replace(raw, entity)
    return text


def value_xml(value):
    if isinstance(value, bool):
        return "<value><boolean>%d</boolean></value>" % value
    if isinstance(value, int):
        return "<value><i4>%d</i4></value>" % value
    if isinstance(value, float):
        return "<value><double>%f</double></value>" % value
    if isinstance(value, (list, tuple)):
        return "<value><array><data>%s</data></array></value>" % "".join(map(value_xml, value))
    if isinstance(value, dict):
        return "<value><struct>%s</struct></value>" % "".join(
            "<member><name>%s</name>%s</member>" % (escape(k), value_xml(v))
            for k, v in value.items())
    return "<value>%s</value>" % escape(value)


def response_body(value):
    return text_to_bytes('<?xml version="1.0"?>\r\n<methodResponse><params><param>\r\n\t%s'
                         "\r\n</param></params></methodResponse>\r\n" % value_xml(value))


def fault_body(message):
    return text_to_bytes(
        '<?xml version="1.0"?>\r\n<methodResponse><fault>\r\n\t<value><struct><member><name>'
        "faultCode</name><value><i4>-1</i4></value></member><member><name>faultString</name>"
        "%s</member></struct></value>\r\n</fault></methodResponse>\r\n" % value_xml(message))


def parse_call(body):
    """(method, params) of a methodCall; an unreadable call has the method name ""."""
    text = body.decode("latin-1")
    # Parsing text rather than bytes keeps every byte as one character, as fldigi keeps bytes.
    try:
        params, method = xmlrpc.client.loads(text)
        return method or "", params
    except (xml.parsers.expat.ExpatError, ValueError, TypeError, xmlrpc.client.ResponseError):
        return "", None
