"""Reads a DXF back with ezdxf's recovering loader and prints what a test
needs to compare as JSON: the audit's errors and fixes, header values, layer
names and every model space entity with its geometry."""
import json
import sys

from ezdxf import recover

doc, auditor = recover.readfile(sys.argv[1])
out = {
    "errors": [str(e.message) for e in auditor.errors],
    "fixes": [str(f.message) for f in auditor.fixes],
    "acadver": doc.header.get("$ACADVER"),
    "insunits": doc.header.get("$INSUNITS"),
    "layers": [layer.dxf.name for layer in doc.layers],
    "entities": [],
}
for e in doc.modelspace():
    kind = e.dxftype()
    d = {"type": kind, "layer": e.dxf.layer}
    if kind == "LINE":
        d["points"] = [[e.dxf.start.x, e.dxf.start.y], [e.dxf.end.x, e.dxf.end.y]]
    elif kind == "LWPOLYLINE":
        d["points"] = [[p[0], p[1]] for p in e.get_points("xy")]
        d["closed"] = bool(e.closed)
    elif kind == "ARC":
        d["points"] = [[p.x, p.y] for p in (e.start_point, e.end_point)]
        d["centre"] = [e.dxf.center.x, e.dxf.center.y]
        d["radius"] = e.dxf.radius
        d["sweep"] = (e.dxf.end_angle - e.dxf.start_angle) % 360
    elif kind == "IMAGE":
        d["file"] = e.image_def.dxf.filename if e.image_def else ""
        d["pixels"] = [e.dxf.image_size.x, e.dxf.image_size.y]
        d["insert"] = [e.dxf.insert.x, e.dxf.insert.y]
        d["u"] = [e.dxf.u_pixel.x, e.dxf.u_pixel.y]
        d["v"] = [e.dxf.v_pixel.x, e.dxf.v_pixel.y]
    out["entities"].append(d)
print(json.dumps(out, ensure_ascii=False))
