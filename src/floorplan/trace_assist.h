#pragma once
// The keypad tracer's help on a plan's wall map, free of any window: where a
// marked start snaps to, where keypad * walks the selection, which wall is
// offered after a confirmation, and the bands that keep a room fill in its
// room. The window asks it and does the drawing.
#include "key_steps.h"
#include "ink/wall_map.h"
#include "tracing/offers.h"
#include <QPolygonF>
#include <memory>
#include <optional>
#include <vector>

namespace floorplan {

// How the last wall was confirmed; keypad Enter traces the offer the same way.
enum class WallConfirm { Solid, Double, DoubleCross };

struct TraceOffer {
    Rect start, end; // the start and end squares, of the wall's thickness
    tracing::Stretch stretch;
};

class TraceAssist {
public:
    // A new map (or none) starts afresh: nothing traced, nothing offered.
    void setMap(std::shared_ptr<const ink::WallMap> map);
    const std::shared_ptr<const ink::WallMap>& map() const { return map_; }
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }
    // The help is on: a map with walls, and the user has not switched it off.
    bool active() const { return enabled_ && map_ && !map_->empty(); }

    // Keypad 5 on sel: the square on the nearest wall end or junction within
    // reach, sized to that wall (at a junction, to a wall not traced from it
    // yet when there is one); nothing when there is none.
    std::optional<Rect> snapStart(const Rect& sel) const;
    // The direction of the last keypad move, for the next walk.
    void noteMove(KeypadDirection dir);
    // Keypad *: sel moved along its wall to the next stop, keeping its size.
    std::optional<Rect> walk(const Rect& sel);

    // A wall (or door) confirmed from the start to the end square: it counts
    // as traced and the walls that go on from its end are offered. kind is
    // how a wall was confirmed; doors leave the last kind as it was.
    void confirmed(const Rect& start, const Rect& end, std::optional<WallConfirm> kind);
    // Ctrl+Z took the last confirmation back.
    void undone();
    // How many walls count as traced; an undo puts the count back to what
    // it was at its snapshot, and the walls traced since are offered again.
    int tracedCount() const { return log_.size(); }
    void untraceTo(int count);

    const TraceOffer* offer() const;
    int offerCount() const { return int(offers_.size()); }
    void nextOffer();
    void dropOffers();
    std::optional<WallConfirm> lastConfirm() const { return lastConfirm_; }
    // The offered wall's outline in image pixels (empty without an offer).
    QPolygonF offerOutline() const;

    // Bands across the map's openings and open corners, for a room fill.
    std::vector<QPolygonF> fillBarriers() const;

private:
    std::shared_ptr<const ink::WallMap> map_;
    bool enabled_ = true;
    std::optional<tracing::Point> heading_;
    tracing::TraceLog log_;
    std::vector<TraceOffer> offers_;
    int current_ = 0;
    std::optional<WallConfirm> lastConfirm_;
};

} // namespace floorplan
