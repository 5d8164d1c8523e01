#!/usr/bin/env python3
"""Checks a compiled help file against its sources: it opens, it holds every page, and every
page can be reached from its contents; no link inside it points at a missing file.

    check_chm.py VOSKO.CHM HELP_SOURCE_DIR
"""
import html.parser
import pathlib
import subprocess
import sys
import tempfile


class Links(html.parser.HTMLParser):
    """The files that a page or a contents file names (href, and the sitemap's Local)."""

    def __init__(self):
        super().__init__()
        self.targets = set()

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        value = attrs.get("href") if tag in ("a", "link") else None
        if tag == "param" and (attrs.get("name") or "").lower() == "local":
            value = attrs.get("value")
        if value and "://" not in value and not value.startswith("#"):
            self.targets.add(value.split("#")[0].lower())


def links_in(text):
    parser = Links()
    parser.feed(text)
    return parser.targets


def main(chm, sources):
    failures = []
    if pathlib.Path(chm).read_bytes()[:4] != b"ITSF":
        sys.exit(f"{chm}: not a compiled help file")
    listing = subprocess.run(["chmls", "-n", "-p", "list", chm], capture_output=True, text=True, check=True)
    inside = {line.strip().lstrip("/").lower() for line in listing.stdout.splitlines() if line.startswith("/")}

    pages = sorted(p.name.lower() for p in pathlib.Path(sources).iterdir() if p.suffix in (".html", ".css"))
    failures += [f"{page}: not in the compiled file" for page in pages if page not in inside]

    scratch = tempfile.TemporaryDirectory()
    subprocess.run(["chmls", "extractall", chm, scratch.name], capture_output=True, check=True)

    def extract(name):
        path = pathlib.Path(scratch.name) / name
        if not path.exists():
            failures.append(f"{name}: cannot be read from the compiled file")
            return ""
        return path.read_text(encoding="cp1252")

    contents = links_in(extract("vosko.hhc"))
    failures += [f"{page}: not linked from the contents" for page in pages
                 if page.endswith(".html") and page not in contents]
    for name in ["vosko.hhc", "vosko.hhk"] + [p for p in pages if p.endswith(".html")]:
        failures += [f"{name}: links to {t}, which is not in the compiled file"
                     for t in sorted(links_in(extract(name))) if t not in inside]

    for failure in failures:
        print(failure)
    print(f"{chm}: {len(pages)} pages, {len(failures)} problems")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
