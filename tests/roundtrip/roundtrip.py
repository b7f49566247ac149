#!/usr/bin/env python3
"""Round trip through the XML-RPC core with Python's xmlrpc.client as the independent peer.

Random nested values are written by xmlrpc.client.dumps as methodResponse documents; the C++
driver reads each with readMethodResponse and writes the result back with writeValue; Python
parses that text again and compares it with the original value.

usage: roundtrip.py DRIVER [COUNT] [SEED]
"""
import datetime
import math
import random
import subprocess
import sys
import xmlrpc.client

CHAR_POOL = (
    [chr(c) for c in range(0x20, 0x7F)] * 4
    + list("&<>\"'&<>")
    + ["\t", "\n", "\r"]
    + [chr(c) for c in range(0xA0, 0x100)]
    + list("абвгдеёжзийклмнопрстуфхцчшщъыьэюяЖЯ")
    + list("€™中文日本語한국어")
    + ["\U0001F600", "\U0001D11E"]
)


def random_text(rng, max_length=12):
    return "".join(rng.choice(CHAR_POOL) for _ in range(rng.randint(0, max_length)))


def random_double(rng):
    choice = rng.random()
    if choice < 0.05:
        return rng.choice([math.inf, -math.inf, 0.0, -0.0])
    if choice < 0.3:
        return float(rng.randint(-10**6, 10**6))
    return rng.uniform(-1, 1) * 10.0 ** rng.randint(-300, 300)


def random_scalar(rng):
    kind = rng.randrange(8)
    if kind == 0:
        return rng.randint(-2**31, 2**31 - 1)
    if kind == 1:
        return rng.random() < 0.5
    if kind == 2:
        return random_double(rng)
    if kind == 3:
        return random_text(rng)
    if kind == 4:
        return datetime.datetime(rng.randint(1000, 9999), rng.randint(1, 12), rng.randint(1, 28),
                                 rng.randint(0, 23), rng.randint(0, 59), rng.randint(0, 59))
    if kind == 5:
        return bytes(rng.randrange(256) for _ in range(rng.randint(0, 80)))
    if kind == 6:
        return None
    return random_text(rng, 40)


def random_value(rng, depth=0):
    choice = rng.random()
    if depth < 4 and choice < 0.2:
        return [random_value(rng, depth + 1) for _ in range(rng.randint(0, 6))]
    if depth < 4 and choice < 0.4:
        return {random_text(rng, 8) or "k": random_value(rng, depth + 1)
                for _ in range(rng.randint(0, 6))}
    return random_scalar(rng)


def canonical(v, encoding):
    """The value as bytes-level data, the way the core stores it. Texts are encoded with
    `encoding`: "utf-8" for the values generated here, "latin-1" for the values parsed back
    from the core's text (every byte came back as one character)."""
    if isinstance(v, str):
        return ("str", v.encode(encoding))
    if isinstance(v, bool):
        return ("bool", v)
    if isinstance(v, float):
        return ("double", six_digits(v))
    if isinstance(v, list):
        return ("array", [canonical(x, encoding) for x in v])
    if isinstance(v, dict):
        return ("struct", {k.encode(encoding): canonical(x, encoding) for k, x in v.items()})
    if isinstance(v, (bytes, bytearray)):
        return ("bytes", bytes(v))
    if isinstance(v, int):
        return ("int", v)
    if isinstance(v, datetime.datetime):
        return ("time", v)
    if v is None:
        return ("nil", None)
    raise TypeError(type(v))


def six_digits(x):
    if math.isnan(x):
        return "nan"
    return float("%.6g" % x)


def main():
    driver = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 400
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 20240315
    rng = random.Random(seed)

    values = [random_value(rng) for _ in range(count)]
    values.append(float("nan"))
    payload = bytearray()
    for v in values:
        doc = xmlrpc.client.dumps((v,), methodresponse=True, allow_none=True).encode("utf-8")
        payload += b"%d\n" % len(doc) + doc
    # A fault travels too.
    fault = xmlrpc.client.dumps(xmlrpc.client.Fault(4, "Too many <parameters> & more"),
                                methodresponse=True).encode("utf-8")
    payload += b"%d\n" % len(fault) + fault

    run = subprocess.run([driver], input=bytes(payload), capture_output=True, timeout=50)
    if run.returncode != 0:
        print("driver failed:", run.returncode, run.stderr.decode(errors="replace"))
        return 1
    out = run.stdout
    answers = []
    pos = 0
    while pos < len(out):
        newline = out.index(b"\n", pos)
        status, length = out[pos:newline].split(b" ")
        body = out[newline + 1:newline + 1 + int(length)]
        pos = newline + 1 + int(length)
        answers.append((status.decode(), body))

    failures = 0
    if len(answers) != len(values) + 1:
        print("expected %d answers, got %d" % (len(values) + 1, len(answers)))
        return 1
    for index, (v, (status, body)) in enumerate(zip(values, answers)):
        if status != "ok":
            print("#%d: %s %r for %r" % (index, status, body, v))
            failures += 1
            continue
        wrapped = b"<?xml version='1.0'?><methodResponse><params><param>" + body + \
            b"</param></params></methodResponse>"
        (echo,), _ = xmlrpc.client.loads(wrapped, use_builtin_types=True)
        if canonical(echo, "latin-1") != canonical(v, "utf-8"):
            print("#%d: mismatch\n  sent %r\n  got  %r\n  text %r" % (index, v, echo, body))
            failures += 1

    status, body = answers[-1]
    wrapped = b"<?xml version='1.0'?><methodResponse><params><param>" + body + \
        b"</param></params></methodResponse>"
    if status != "fault":
        print("fault came back as", status, body)
        failures += 1
    else:
        (echo,), _ = xmlrpc.client.loads(wrapped)
        if echo != {"faultCode": 4, "faultString": "Too many <parameters> & more"}:
            print("fault mismatch", echo)
            failures += 1

    print("%d values round-tripped, %d failures" % (len(values) + 1, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
