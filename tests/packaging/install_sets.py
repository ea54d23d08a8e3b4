#!/usr/bin/env python3
"""What the user's commands install, checked on the installed packages.

  install_sets.py services SET...   no package the sets bring (with all they
                                    depend on) ships a system service
  install_sets.py libraries SET -- PROGRAM...
                                    every library the programs load comes
                                    from the set or what it depends on

A machine that already has the packages (a developer's, CI's) cannot show
an install adding something, so this reads the packages' own file lists.
"""
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
INSTALL_DEPS = os.path.join(HERE, "..", "..", "scripts", "install-deps.sh")

# x11-common's boot script only makes the X socket folders in /tmp; no
# process stays, nothing listens, and systemd masks it. Every X server
# (the demo's virtual display) depends on it.
BOOT_SETUP_ONLY = {"x11-common"}

SERVICE_PATH = re.compile(
    r"^(/usr)?/lib/systemd/system/[^/]+\.(service|socket|timer)$|^/etc/init\.d/[^/]+$")


def set_packages(sets):
    out = subprocess.run([INSTALL_DEPS, "--list", *sets], check=True,
                         capture_output=True, text=True).stdout
    return out.split()


def installed():
    """name -> (depends field, provides field) of every installed package."""
    fmt = "${Package}\t${Status}\t${Pre-Depends}, ${Depends}\t${Provides}\t${Priority}\n"
    out = subprocess.run(["dpkg-query", "-W", "-f", fmt], check=True,
                         capture_output=True, text=True).stdout
    packages, providers, base = {}, {}, set()
    for line in out.splitlines():
        name, status, depends, provides, priority = line.split("\t")
        if not status.endswith(" installed"):
            continue
        packages[name] = depends
        if priority in ("required", "important"):
            base.add(name)
        for virtual in provides.split(","):
            virtual = virtual.split("(")[0].strip()
            if virtual:
                providers.setdefault(virtual, []).append(name)
    return packages, providers, base


def closure(roots):
    """The roots and every package they bring, as apt chooses on a fresh
    Debian 12 (the first alternative, a virtual package's providers), less
    the base system every Debian 12 installation has (priority required or
    important: dpkg, systemd, procps...)."""
    packages, providers, base = installed()
    missing = [r for r in roots if r not in packages]
    if missing:
        sys.exit("install-sets: not installed: " + " ".join(missing))
    seen, todo = set(), list(roots)
    while todo:
        name = todo.pop()
        if name in seen:
            continue
        seen.add(name)
        for dep in packages[name].split(","):
            alts = [re.sub(r"\(.*?\)|\[.*?\]|<.*?>", "", a).strip().split(":")[0]
                    for a in dep.split("|")]
            alts = [a for a in alts if a]
            if not alts:
                continue
            # A dependency another alternative of which the base system
            # holds brings nothing.
            if any(a in base for a in alts) or any(p in base for a in alts
                                                   for p in providers.get(a, [])):
                continue
            first = alts[0]
            todo.extend([first] if first in packages else providers.get(first, []))
    return seen - (base - set(roots))


def files_of(package):
    for name in (package, package + ":amd64"):
        try:
            with open(f"/var/lib/dpkg/info/{name}.list") as f:
                return f.read().splitlines()
        except FileNotFoundError:
            pass
    return []


def services(sets):
    found = []
    brought = closure(set_packages(sets))
    for package in sorted(brought - BOOT_SETUP_ONLY):
        for path in files_of(package):
            if SERVICE_PATH.match(path) and os.path.realpath(path) != "/dev/null":
                found.append(f"{package}: {path}")
    if found:
        print("install-sets: the sets " + " ".join(sets) + " bring system services:")
        print("\n".join("  " + f for f in found))
        return 1
    print(f"install-sets: {len(brought)} packages of the sets {' '.join(sets)}, no system service")
    return 0


def owners(paths):
    """path -> owning package, asked of dpkg in one go (a path not found as
    it stands is found by its resolved links: /lib against /usr/lib)."""
    found = {}
    candidates = {p: [p, os.path.realpath(p)] for p in paths}
    asked = sorted({c for cs in candidates.values() for c in cs})
    out = subprocess.run(["dpkg-query", "-S", *asked], capture_output=True, text=True).stdout
    by_path = {}
    for line in out.splitlines():
        if line.startswith("diversion"):
            continue
        package, _, path = line.partition(": ")
        by_path[path] = package.split(",")[0].split(":")[0].strip()
    for p, cs in candidates.items():
        found[p] = next((by_path[c] for c in cs if c in by_path), None)
    return found


def libraries(sets, programs):
    brought = closure(set_packages(sets))
    loaded = {}
    for program in programs:
        out = subprocess.run(["ldd", program], check=True, capture_output=True,
                             text=True).stdout
        for m in re.finditer(r"=> (/\S+)", out):
            loaded.setdefault(m.group(1), []).append(os.path.basename(program))
    owner_of = owners(loaded)
    status = 0
    for path, users in sorted(loaded.items()):
        owner = owner_of[path]
        if owner is None or owner not in brought:
            print(f"install-sets: {', '.join(users)} loads {path}, "
                  f"from {owner or 'no package'}, outside the sets {' '.join(sets)}")
            status = 1
    if status == 0:
        print(f"install-sets: {len(programs)} programs load {len(loaded)} libraries, "
              f"all of the sets {' '.join(sets)}")
    return status


def main(argv):
    if len(argv) >= 2 and argv[0] == "services":
        return services(argv[1:])
    if len(argv) >= 4 and argv[0] == "libraries" and "--" in argv:
        cut = argv.index("--")
        return libraries(argv[1:cut], argv[cut + 1:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
