#!/usr/bin/python3
"""What the notification server did with the program's notices, read from
a dbus-monitor log of org.freedesktop.Notifications on the session bus.

    notices.py LOG
        Prints JSON: "sent" (every Notify the program made, with its id,
        summary, expire_timeout and actions: [key, label, ...]), "closed" ({id: [reason, seconds after
        it was sent]}) and "pushed_out" (ids the server closed as expired
        within two seconds, or that were to stay and were closed as
        expired: notices nobody saw).
"""
import json
import re
import sys

HEADER = re.compile(r"^(method call|method return|signal|error) time=([0-9.]+) sender=(\S+) -> "
                    r"destination=(\S+) serial=(\d+)(?: reply_serial=(\d+))?(?:.*member=(\w+))?")


def messages(path):
    current = None
    for line in open(path, encoding="utf-8", errors="replace"):
        m = HEADER.match(line)
        if m:
            if current:
                yield current
            current = {"kind": m.group(1), "time": float(m.group(2)), "sender": m.group(3),
                       "destination": m.group(4), "serial": int(m.group(5)),
                       "reply": int(m.group(6)) if m.group(6) else None,
                       "member": m.group(7), "args": [], "nested": []}
        elif current is not None and line.startswith("      "):
            current["nested"].append(line.strip())
        elif current is not None and line.startswith("   "):
            current["args"].append(line.strip())
            current["nested"].append(line.strip())
    if current:
        yield current


def actions(lines):
    """The strings of Notify's first array (its actions)."""
    out, inside = [], False
    for line in lines:
        if line.startswith("array ["):
            if inside or out:
                break
            inside = True
        elif inside and line == "]":
            break
        elif inside and line.startswith('string "'):
            out.append(line[8:-1])
    return out


def main(path):
    calls, sent, closed = {}, [], {}
    for m in messages(path):
        # Only the program's own calls: a server may hand each notice on
        # to another process (GNOME's service to the shell).
        if m["kind"] == "method call" and m["member"] == "Notify" and \
                m["destination"] == "org.freedesktop.Notifications":
            strings = [a[8:-1] for a in m["args"] if a.startswith('string "')]
            ints = [int(a.split()[1]) for a in m["args"] if a.startswith("int32 ")]
            if not strings or strings[0] != "QGM":
                continue
            calls[(m["sender"], m["serial"])] = {"time": m["time"], "summary": strings[2] if len(strings) > 2 else "",
                                                 "expire_timeout": ints[-1] if ints else None,
                                                 "actions": actions(m["nested"])}
        elif m["kind"] == "method return" and (m["destination"], m["reply"]) in calls:
            call = calls.pop((m["destination"], m["reply"]))
            ids = [int(a.split()[1]) for a in m["args"] if a.startswith("uint32 ")]
            if ids:
                call["id"] = ids[0]
                sent.append(call)
        elif m["kind"] == "signal" and m["member"] == "NotificationClosed":
            values = [int(a.split()[1]) for a in m["args"] if a.startswith("uint32 ")]
            if len(values) == 2:
                closed.setdefault(values[0], (values[1], m["time"]))
    report = {"sent": [], "closed": {}, "pushed_out": []}
    for call in sent:
        report["sent"].append({k: call[k] for k in ("id", "summary", "expire_timeout", "actions")})
        if call["id"] in closed:
            reason, when = closed[call["id"]]
            after = round(when - call["time"], 2)
            report["closed"][call["id"]] = [reason, after]
            if reason == 1 and (after < 2 or call["expire_timeout"] == 0):
                report["pushed_out"].append(call["id"])
    print(json.dumps(report))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
