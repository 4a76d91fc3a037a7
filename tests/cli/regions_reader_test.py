#!/usr/bin/env python3
"""The region file read by an independent reader (astropy's regions package): one circle per drawn
star, at the star's place on the picture, in its kind's colour. Skipped when regions is missing."""
import csv
import os
import subprocess
import sys
import tempfile

try:
    from regions import CircleSkyRegion, Regions  # noqa: F401
except ImportError:
    print("skipped: python3-regions is not installed")
    sys.exit(77)

plot, sample = sys.argv[1], sys.argv[2]
height = 2018  # SSPro
colours = {"single": "green", "double-shape": "red", "double-occupancy": "orange"}
with tempfile.TemporaryDirectory() as work:
    reg, table = os.path.join(work, "stars.reg"), os.path.join(work, "stars.csv")
    subprocess.run([plot, "--camera", "SSPro", "--regions", reg, "--stars", table, sample],
                   check=True, stdout=subprocess.DEVNULL)
    with open(table, newline="") as f:
        stars = list(csv.DictReader(f))
    shapes = Regions.read(reg, format="ds9")
    circles = [r for r in shapes if type(r).__name__ == "CirclePixelRegion"]
    lines = [r for r in shapes if type(r).__name__ == "LinePixelRegion"]
    assert len(lines) == sum(1 for s in stars if s["kind"] != "single"), len(lines)
    assert len(circles) == len(stars), (len(circles), len(stars))
    for star, circle in zip(stars, circles):
        # The reader counts pixels from 0, DS9's image coordinates from 1.
        assert abs(circle.center.x + 1 - float(star["x"])) < 1e-9, star
        assert abs(circle.center.y + 1 - (height + 1 - float(star["y"]))) < 1e-9, star
        assert abs(circle.radius - max(float(star["size"]) / 2, 2)) < 1e-9, star
        assert circle.visual["edgecolor"] == colours[star["kind"]], (star, circle.visual)
        assert str(circle.meta["text"]) == star["index"], (star, circle.meta)
        assert circle.meta["tag"] == [star["kind"].split("-")[0]], (star, circle.meta)
    print(f"ok: {len(circles)} circles")
