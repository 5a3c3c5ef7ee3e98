#!/usr/bin/env python3
"""Writes the default cell object, a text .x file, to the path given (or stdout).

The object is a living cell: a slightly squashed, gently lumpy membrane with the
dome of its nucleus rising on the upper front. It is about one unit across, so
at XScale 1.0 neighbouring cells just touch, and light enough for a 32 x 24
board of them to draw quickly. Run it again after changing the shape and commit
the output: the build copies the committed file, it does not run this.
"""
import math
import sys

BODY_RADIUS = 0.5
BODY_SQUASH = 0.84           # height over width: a resting cell sags a little
SUBDIVISION = 3              # each face of the icosahedron split into 3 x 3
NUCLEUS_DIRECTION = (0.25, 0.55, -0.8)   # upper front, towards the viewer (-z)
NUCLEUS_HEIGHT = 0.16        # how far the dome rises, as a share of the radius
NUCLEUS_SPREAD = math.radians(48)        # angle from the dome's top to its foot


def normalise(v):
    n = math.sqrt(sum(c * c for c in v))
    return tuple(c / n for c in v)


def sub(a, b):
    return tuple(x - y for x, y in zip(a, b))


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def dot(a, b):
    return sum(x * y for x, y in zip(a, b))


def icosahedron():
    t = (1 + math.sqrt(5)) / 2
    verts = [(-1, t, 0), (1, t, 0), (-1, -t, 0), (1, -t, 0),
             (0, -1, t), (0, 1, t), (0, -1, -t), (0, 1, -t),
             (t, 0, -1), (t, 0, 1), (-t, 0, -1), (-t, 0, 1)]
    faces = [(0, 11, 5), (0, 5, 1), (0, 1, 7), (0, 7, 10), (0, 10, 11),
             (1, 5, 9), (5, 11, 4), (11, 10, 2), (10, 7, 6), (7, 1, 8),
             (3, 9, 4), (3, 4, 2), (3, 2, 6), (3, 6, 8), (3, 8, 9),
             (4, 9, 5), (2, 4, 11), (6, 2, 10), (8, 6, 7), (9, 8, 1)]
    return [normalise(v) for v in verts], faces


def subdivide(verts, faces, n):
    # Splits every face into n x n faces on a barycentric grid, sharing the
    # points on common edges, and puts every point on the unit sphere.
    points = {}
    out_verts = []

    def point(a, b, c, i, j):
        # The grid point i steps from a towards b and j steps towards c.
        weights = {a: n - i - j, b: i, c: j}
        key = tuple(sorted((k, w) for k, w in weights.items() if w))
        if key not in points:
            p = [0.0, 0.0, 0.0]
            for k, w in key:
                p = [q + w * r for q, r in zip(p, verts[k])]
            out_verts.append(normalise(tuple(p)))
            points[key] = len(out_verts) - 1
        return points[key]

    out_faces = []
    for a, b, c in faces:
        for i in range(n):
            for j in range(n - i):
                out_faces.append((point(a, b, c, i, j), point(a, b, c, i + 1, j),
                                  point(a, b, c, i, j + 1)))
                if i + j < n - 1:
                    out_faces.append((point(a, b, c, i + 1, j), point(a, b, c, i + 1, j + 1),
                                      point(a, b, c, i, j + 1)))
    return out_verts, out_faces


def nucleus_rise(d):
    # A smooth dome: full height on the nucleus axis, nothing beyond its foot.
    c = dot(d, normalise(NUCLEUS_DIRECTION))
    foot = math.cos(NUCLEUS_SPREAD)
    if c <= foot:
        return 0.0
    t = (c - foot) / (1 - foot)
    return t * t * (3 - 2 * t)


def lumpiness(d):
    # A few low waves over the sphere: enough to look alive, too little to
    # change the outline from one cell to the next.
    x, y, z = d
    return 1.0 + 0.045 * math.sin(3.1 * x + 1.3) * math.cos(2.3 * z) + 0.03 * math.sin(2.7 * y + 2.0 * x)


def body():
    dirs, faces = subdivide(*icosahedron(), SUBDIVISION)
    verts = []
    for d in dirs:
        r = BODY_RADIUS * lumpiness(d) * (1 + NUCLEUS_HEIGHT * nucleus_rise(d))
        verts.append((d[0] * r, d[1] * r * BODY_SQUASH, d[2] * r))
    return dirs, verts, faces


def outward(verts, faces, centre):
    # Front faces are clockwise as seen from outside in a left-handed space,
    # which is what (v1 - v0) x (v2 - v0) pointing outwards gives.
    fixed = []
    for f in faces:
        a, b, c = (verts[i] for i in f)
        mid = tuple((p + q + r) / 3 for p, q, r in zip(a, b, c))
        if dot(cross(sub(b, a), sub(c, a)), sub(mid, centre)) < 0:
            f = (f[0], f[2], f[1])
        fixed.append(f)
    return fixed


def vertex_normals(verts, faces):
    sums = [(0.0, 0.0, 0.0)] * len(verts)
    for f in faces:
        a, b, c = (verts[i] for i in f)
        n = cross(sub(b, a), sub(c, a))
        for i in f:
            sums[i] = tuple(s + m for s, m in zip(sums[i], n))
    return [normalise(s) for s in sums]


def sphere_uv(v, centre):
    x, y, z = normalise(sub(v, centre))
    u = (math.atan2(z, x) / (2 * math.pi)) % 1.0
    return u, math.acos(max(-1.0, min(1.0, y))) / math.pi


def build():
    dirs, verts, faces = body()
    faces = outward(verts, faces, (0.0, 0.0, 0.0))
    normals = vertex_normals(verts, faces)
    # Faces on the dome take the nucleus' own material. Both colours are light,
    # because a texture put on the object is drawn tinted by them.
    materials = [1 if sum(nucleus_rise(dirs[i]) for i in f) / 3 > 0.3 else 0 for f in faces]
    uvs = [sphere_uv(v, (0.0, 0.0, 0.0)) for v in verts]
    return verts, faces, normals, materials, uvs


def listing(items, fmt):
    lines = [fmt(item) for item in items]
    return ",\n".join("  " + line for line in lines) + ";\n"


def write(out):
    verts, faces, normals, materials, uvs = build()
    vec = lambda v: "%.6f;%.6f;%.6f;" % v
    face = lambda f: "3;%d,%d,%d;" % f
    out.write("xof 0303txt 0032\n\n")
    out.write("// Quellar's default cell: a squashed, lumpy membrane over a nucleus.\n")
    out.write("// Written by tools/make_default_object.py; edit that, not this.\n\n")
    out.write("Mesh QuellarCell {\n")
    out.write(" %d;\n%s" % (len(verts), listing(verts, vec)))
    out.write(" %d;\n%s\n" % (len(faces), listing(faces, face)))
    out.write(" MeshNormals {\n")
    out.write(" %d;\n%s" % (len(normals), listing(normals, vec)))
    out.write(" %d;\n%s }\n\n" % (len(faces), listing(faces, face)))
    out.write(" MeshTextureCoords {\n")
    out.write(" %d;\n%s }\n\n" % (len(uvs), listing(uvs, lambda t: "%.6f;%.6f;" % t)))
    out.write(" MeshMaterialList {\n  2;\n  %d;\n" % len(faces))
    out.write(",\n".join("  %d" % m for m in materials) + ";;\n")
    out.write("  Material Membrane {\n   0.800000;0.950000;0.800000;1.000000;;\n"
              "   24.000000;\n   0.300000;0.300000;0.300000;;\n   0.000000;0.000000;0.000000;;\n  }\n")
    out.write("  Material Nucleus {\n   0.950000;0.750000;0.900000;1.000000;;\n"
              "   12.000000;\n   0.200000;0.200000;0.200000;;\n   0.000000;0.000000;0.000000;;\n  }\n")
    out.write(" }\n}\n")


if __name__ == "__main__":
    if len(sys.argv) > 1:
        with open(sys.argv[1], "w", newline="\n") as f:
            write(f)
    else:
        write(sys.stdout)
