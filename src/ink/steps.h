#pragma once
// The steps of the ink analysis, shared between its source files. Every
// length here is in pixels of the reduced copy unless it says otherwise.
#include "ink/analyse.h"
#include <opencv2/core.hpp>
#include <vector>

namespace ink::steps {

// Lengths of the analysis in reduced pixels.
struct Scale {
  int factor = 1;         // reduced pixel = factor x factor image pixels
  double perMm = 0;       // reduced pixels per real millimetre
  double minThickness = 0, maxThickness = 0;
  double detectLength = 0;  // shortest band looked for
  double minLength = 0;     // shortest wall kept
  double minOpening = 0;    // narrower gaps in a wall line are breaks in the ink
  double maxOpening = 0;
};

// True when the analysis should stop.
bool cancelled(const Options& o);

// The reduced copy: each pixel the mean over its block of the darkest
// channel (traced ink counted as paper when asked), 255 = white.
cv::Mat reduce(const cv::Mat& image, int factor, bool ignoreTraced);

// The reduced copy read against its paper: darkness relative to the paper
// around it (the paper's own colour and light taken out), and ink (255)
// where that is past the level between paper and ink. ink is empty when the
// page holds too much ink to be a line drawing (a photograph).
struct Inked {
  cv::Mat ink;
  cv::Mat dark;
  double inkDarkness = 255;  // typical darkness of solid ink
};
Inked binarise(const cv::Mat& reduced, const Scale& s);

// Wall candidates along the x axis: solid bands and thin line pairs
// around an empty wall-thick gap, filled face to face.
void horizontalBands(const cv::Mat& ink, const Scale& s, cv::Mat& solid, cv::Mat& hollow);

// A piece of wall found in a mask, in reduced continuous coordinates
// (pixel i covers [i, i+1)).
struct Piece {
  cv::Point2d a, b;
  double thickness = 0;
  WallKind kind = WallKind::Solid;
};

// Centre lines of the components of a mask of bands running along x. The
// thickness of a solid band is its ink across (darkness over the ink's own
// darkness, from dark, laid out as mask), which tells a heavy line from a
// thin wall where the pixel count cannot; a line pair's is its width.
void piecesAlongX(const cv::Mat& mask, const cv::Mat& dark, double inkDarkness, const Scale& s, WallKind kind,
                  std::vector<Piece>& out);

// The long straight lines that are neither horizontal nor vertical: their
// angle in radians (0..pi) and the strip around them in the frame turned by
// that angle (x along the lines, y across), in reduced pixel coordinates.
struct Slant {
  double angle;
  cv::Rect2d strip;
};
std::vector<Slant> slantedDirections(const cv::Mat& residual, const Scale& s);

// Bands along the direction of a slant, found in its strip turned level.
void slantedPieces(const Inked& inked, const Slant& slant, const Scale& s, std::vector<Piece>& out);

// Joins the pieces into walls: collinear pieces across gaps up to the
// longest opening (recording the gap), ends brought onto the walls they
// run into, short walls dropped. Returns the map in image pixels.
WallMap assemble(std::vector<Piece> pieces, const Scale& s);

// A stretch along a wall, in reduced pixels from its end a.
struct Span {
  double from = 0, to = 0;
};

// A wall that seems to end at an opening because the piece between the
// opening and the wall it joins was too short to read: its free end is
// carried on to that wall when the ink past it is an opening's width of
// something else and then the wall's own again. Returns, for each wall,
// the stretch that was read as its band.
std::vector<Span> reachAcrossOpenings(const Inked& inked, const Scale& s, WallMap& map);

// Replaces map.openings (image pixels) with the stretches of each wall
// where the ink across its centre line, read on the reduced copy, is not
// the wall's own (as read along bands[i], or all of it), as wide as a door
// or a window.
void findOpenings(const Inked& inked, const Scale& s, WallMap& map, const std::vector<Span>& bands = {});

// Looks for a door in each opening of map (image pixels) on the reduced
// copy, and adds what it finds to map.doors.
void findDoors(const Inked& inked, const Scale& s, WallMap& map);

}  // namespace ink::steps
