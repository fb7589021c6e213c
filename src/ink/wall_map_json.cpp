#include "ink/wall_map_json.h"
#include <cmath>
#include <nlohmann/json.hpp>

namespace ink {

using nlohmann::json;

namespace {

const char* kindName(WallKind k) { return k == WallKind::Double ? "double" : "solid"; }

const char* junctionName(JunctionType t)
{
  switch (t) {
    case JunctionType::L: return "L";
    case JunctionType::T: return "T";
    case JunctionType::X: return "X";
    case JunctionType::End: break;
  }
  return "end";
}

json point(const Point& p) { return json::array({p.x, p.y}); }

Point readPoint(const json& j) { return {j.at(0).get<double>(), j.at(1).get<double>()}; }

// A finite number; JSON has no NaN or infinity, and neither may a map.
double number(const json& j, const char* key)
{
  const double v = j.at(key).get<double>();
  if (!std::isfinite(v))
    throw std::out_of_range(std::string("not a finite number: ") + key);
  return v;
}

}  // namespace

void placeFaces(Wall& w)
{
  const double dx = w.b.x - w.a.x, dy = w.b.y - w.a.y;
  const double len = std::hypot(dx, dy);
  if (len <= 0) {
    w.faceLeftA = w.faceLeftB = w.faceRightA = w.faceRightB = w.a;
    return;
  }
  // Left of a->b in image coordinates (y down) is the normal (dy, -dx).
  const double h = w.thickness / 2;
  const double nx = dy / len * h, ny = -dx / len * h;
  w.faceLeftA = {w.a.x + nx, w.a.y + ny};
  w.faceLeftB = {w.b.x + nx, w.b.y + ny};
  w.faceRightA = {w.a.x - nx, w.a.y - ny};
  w.faceRightB = {w.b.x - nx, w.b.y - ny};
}

std::string toJson(const WallMap& map)
{
  json out = {{"width", map.width}, {"height", map.height}, {"dpi", map.dpi}};
  json walls = json::array(), junctions = json::array(), openings = json::array(), doors = json::array();
  for (const Wall& w : map.walls)
    walls.push_back({{"x1", w.a.x}, {"y1", w.a.y}, {"x2", w.b.x}, {"y2", w.b.y},
                     {"thickness", w.thickness}, {"kind", kindName(w.kind)}});
  for (const Junction& j : map.junctions)
    junctions.push_back({{"x", j.at.x}, {"y", j.at.y}, {"type", junctionName(j.type)}, {"walls", j.walls}});
  for (const Opening& o : map.openings)
    openings.push_back({{"x1", o.a.x}, {"y1", o.a.y}, {"x2", o.b.x}, {"y2", o.b.y}, {"wall", o.wall}});
  for (const Door& d : map.doors) {
    json door = {{"kind", d.kind == DoorKind::Sliding ? "sliding" : "hinged"}, {"opening", d.opening}};
    if (d.kind == DoorKind::Hinged) {
      door["hinge"] = point(d.hinge);
      door["leafEnd"] = point(d.leafEnd);
      door["closedEnd"] = point(d.closedEnd);
    } else {
      json panes = json::array();
      for (const auto& pane : d.panes) {
        json corners = json::array();
        for (const Point& p : pane)
          corners.push_back(point(p));
        panes.push_back(corners);
      }
      door["panes"] = panes;
    }
    doors.push_back(door);
  }
  out["walls"] = walls;
  out["junctions"] = junctions;
  out["openings"] = openings;
  out["doors"] = doors;
  return out.dump(1);
}

bool fromJson(const std::string& text, WallMap& map, std::string* error)
{
  try {
    const json in = json::parse(text);
    WallMap m;
    m.width = in.at("width").get<int>();
    m.height = in.at("height").get<int>();
    m.dpi = number(in, "dpi");
    if (m.width < 0 || m.height < 0)
      throw std::out_of_range("negative image size");
    for (const json& w : in.value("walls", json::array())) {
      Wall wall;
      wall.a = {number(w, "x1"), number(w, "y1")};
      wall.b = {number(w, "x2"), number(w, "y2")};
      wall.thickness = number(w, "thickness");
      const std::string kind = w.value("kind", "solid");
      if (kind != "solid" && kind != "double")
        throw std::out_of_range("unknown wall kind: " + kind);
      wall.kind = kind == "double" ? WallKind::Double : WallKind::Solid;
      placeFaces(wall);
      m.walls.push_back(wall);
    }
    const int wallCount = int(m.walls.size());
    auto wallIndex = [&](int i) {
      if (i < -1 || i >= wallCount)
        throw std::out_of_range("wall index out of range");
      return i;
    };
    for (const json& j : in.value("junctions", json::array())) {
      Junction junction;
      junction.at = {number(j, "x"), number(j, "y")};
      const std::string type = j.at("type").get<std::string>();
      if (type == "L")
        junction.type = JunctionType::L;
      else if (type == "T")
        junction.type = JunctionType::T;
      else if (type == "X")
        junction.type = JunctionType::X;
      else if (type == "end")
        junction.type = JunctionType::End;
      else
        throw std::out_of_range("unknown junction type: " + type);
      for (const json& i : j.value("walls", json::array()))
        junction.walls.push_back(wallIndex(i.get<int>()));
      m.junctions.push_back(junction);
    }
    for (const json& o : in.value("openings", json::array())) {
      Opening opening;
      opening.a = {number(o, "x1"), number(o, "y1")};
      opening.b = {number(o, "x2"), number(o, "y2")};
      opening.wall = wallIndex(o.value("wall", -1));
      m.openings.push_back(opening);
    }
    const int openingCount = int(m.openings.size());
    for (const json& d : in.value("doors", json::array())) {
      Door door;
      door.kind = d.at("kind").get<std::string>() == "sliding" ? DoorKind::Sliding : DoorKind::Hinged;
      door.opening = d.value("opening", -1);
      if (door.opening < -1 || door.opening >= openingCount)
        throw std::out_of_range("opening index out of range");
      if (door.kind == DoorKind::Hinged) {
        door.hinge = readPoint(d.at("hinge"));
        door.leafEnd = readPoint(d.at("leafEnd"));
        door.closedEnd = readPoint(d.at("closedEnd"));
      } else {
        for (const json& pane : d.at("panes")) {
          std::vector<Point> corners;
          for (const json& p : pane)
            corners.push_back(readPoint(p));
          door.panes.push_back(corners);
        }
      }
      m.doors.push_back(door);
    }
    map = std::move(m);
    return true;
  } catch (const std::exception& e) {
    if (error)
      *error = e.what();
    return false;
  }
}

}  // namespace ink
