#pragma once
// The plan being edited, as facts without any widget: where it came from,
// whether the canvas holds work not saved anywhere, its resolution and
// drawing scale, and the wall map read from its ink. The main window owns
// one and asks it; code that needs only these facts includes this header.
#include "ink/wall_map.h"
#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <memory>
#include <optional>

namespace documents {

// Where the resolution came from: the image stated its own, or it had none
// and the settings file's print resolution was taken.
enum class ResolutionSource { Image, Settings };

class PlanDocument {
public:
    // What the canvas shows: its image's store handle and the key of its
    // pixels (QImage::cacheKey changes on every write). Handle 0: no picture.
    struct CanvasState {
        int32_t handle = 0;
        qint64 contents = 0;
        bool operator==(const CanvasState&) const = default;
    };

    static constexpr int kDefaultScaleDenominator = 100;

    // A plan opened, scanned or made new: the path (or the name shown for a
    // picture without a file), its resolution; it is not a recovered copy,
    // the scale is the default and no wall map is known yet. The window
    // calls markClean() once the canvas shows the picture as opened.
    void open(const QString& path, double dpi, ResolutionSource source);
    // The canvas now shows a kept copy of the document named path: the name
    // is the document's, not the file that held the copy, and nothing the
    // canvas shows is saved anywhere until a save.
    void recover(const QString& path);
    // Saved under a new name (or the name shown changes).
    void setPath(const QString& path) { m_path = path; }

    const QString& path() const { return m_path; }
    // True from recover() until the next open or save.
    bool isRecovered() const { return m_recovered; }

    // The canvas as it is now is saved (or freshly opened): no unsaved work,
    // and a recovered copy has become a document of its own.
    void markClean(CanvasState now);
    bool hasUnsavedWork(CanvasState now) const;

    // Dots per inch; 0 when not known.
    double dpi() const { return m_dpi; }
    ResolutionSource resolutionSource() const { return m_resolutionSource; }
    void setResolution(double dpi, ResolutionSource source);

    // The drawing scale as 1:n; values below 1 are refused (false).
    int scaleDenominator() const { return m_scaleDenominator; }
    bool setScaleDenominator(int n);

    // Resolution and scale together, as the one-level undo keeps them with
    // its picture: a change of either is undone with the picture.
    struct ScaleSetting {
        double dpi = 0;
        ResolutionSource source = ResolutionSource::Settings;
        int scaleDenominator = kDefaultScaleDenominator;
        bool operator==(const ScaleSetting&) const = default;
    };
    ScaleSetting scaleSetting() const { return {m_dpi, m_resolutionSource, m_scaleDenominator}; }
    // Sets both; a scale below 1 leaves the scale as it is.
    void setScaleSetting(const ScaleSetting& setting);
    // The undo snapshot was taken: the setting now goes with it.
    void keepScaleForUndo() { m_undoScale = scaleSetting(); }
    // The snapshot came back: so does the setting kept with it (when any).
    void restoreScaleFromUndo();

    // The wall map read from the plan's ink; null until an analysis ran.
    const std::shared_ptr<const ink::WallMap>& wallMap() const { return m_wallMap; }
    void setWallMap(std::shared_ptr<const ink::WallMap> map) { m_wallMap = std::move(map); }

private:
    QString m_path;
    bool m_recovered = false;
    // The canvas state last saved or opened. The recovered state can never
    // equal a real one, so a recovered copy counts as unsaved work.
    CanvasState m_clean;
    double m_dpi = 0;
    ResolutionSource m_resolutionSource = ResolutionSource::Settings;
    int m_scaleDenominator = kDefaultScaleDenominator;
    // The resolution last saved or opened: files state it, so a change is
    // unsaved work even when no pixel changed.
    double m_cleanDpi = 0;
    std::optional<ScaleSetting> m_undoScale;
    std::shared_ptr<const ink::WallMap> m_wallMap;
};

} // namespace documents
