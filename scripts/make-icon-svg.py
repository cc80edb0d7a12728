#!/usr/bin/env python3
"""Writes the scalable icon, resources/org.quorvane.Quorvane.svg, to standard output.

The design is the window's 32 x 32 icon drawn as curves: a Lorenz orbit seen from the side
(x across, z up) in green, and a red copy of it shifted right and down, drawn over it as the
program draws orbit 2 over orbit 1, on black.

    scripts/make-icon-svg.py > resources/org.quorvane.Quorvane.svg
"""

SIZE = 128  # view box side
SHIFT = 5  # the red copy's offset, right and down


def lorenz_orbit(steps, dt=0.005, sigma=10.0, rho=28.0, beta=8.0 / 3.0):
    """Points of a Lorenz orbit after a short settling, by fourth-order Runge-Kutta."""

    def f(s):
        x, y, z = s
        return (sigma * (y - x), x * (rho - z) - y, x * y - beta * z)

    def add(s, k, h):
        return tuple(a + h * b for a, b in zip(s, k))

    s = (1.0, 1.0, 20.0)
    points = []
    for i in range(steps + 400):
        k1 = f(s)
        k2 = f(add(s, k1, dt / 2))
        k3 = f(add(s, k2, dt / 2))
        k4 = f(add(s, k3, dt))
        s = tuple(a + dt / 6 * (b + 2 * c + 2 * d + e) for a, b, c, d, e in zip(s, k1, k2, k3, k4))
        if i >= 400:
            points.append((s[0], s[2]))
    return points


def main():
    points = lorenz_orbit(2400)[::3]
    xs = [p[0] for p in points]
    zs = [p[1] for p in points]
    # Fit the butterfly into the view box, leaving room for the shifted copy.
    margin = 12
    span = max(max(xs) - min(xs), max(zs) - min(zs))
    scale = (SIZE - 2 * margin - SHIFT) / span
    left = margin + ((SIZE - 2 * margin - SHIFT) - (max(xs) - min(xs)) * scale) / 2
    top = margin + ((SIZE - 2 * margin - SHIFT) - (max(zs) - min(zs)) * scale) / 2

    def at(x, z):
        return (left + (x - min(xs)) * scale, top + (max(zs) - z) * scale)

    coords = [at(x, z) for x, z in points]
    path = "M" + " ".join(f"{x:.1f} {y:.1f}" for x, y in coords)
    print(f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink"
     width="{SIZE}" height="{SIZE}" viewBox="0 0 {SIZE} {SIZE}">
  <title>Quorvane</title>
  <!-- Written by scripts/make-icon-svg.py. -->
  <rect width="{SIZE}" height="{SIZE}" fill="#000000"/>
  <defs>
    <path id="orbit" fill="none" stroke-width="1.6" stroke-linejoin="round"
          d="{path}"/>
  </defs>
  <use xlink:href="#orbit" stroke="#00ff00"/>
  <use xlink:href="#orbit" stroke="#ff0000" transform="translate({SHIFT} {SHIFT})"/>
</svg>""")


if __name__ == "__main__":
    main()
