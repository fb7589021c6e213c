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

// Ink (255) where the reduced copy is darker than the paper around it, with
// the paper's own colour and light taken out. Returns an empty Mat when the
// page holds too much ink to be a line drawing (a photograph).
cv::Mat binarise(const cv::Mat& reduced, const Scale& s);

// Wall candidates along the x axis: solid bands and thin line pairs
// around an empty wall-thick gap, filled face to face. faceWidth receives
// the mean width of the paired lines (0 when none).
void horizontalBands(const cv::Mat& ink, const Scale& s, cv::Mat& solid, cv::Mat& hollow, double& faceWidth);

// A piece of wall found in a mask, in reduced continuous coordinates
// (pixel i covers [i, i+1)).
struct Piece {
  cv::Point2d a, b;
  double thickness = 0;
  WallKind kind = WallKind::Solid;
};

// Centre lines of the components of a mask of bands running along x.
void piecesAlongX(const cv::Mat& mask, const Scale& s, WallKind kind, double faceWidth, std::vector<Piece>& out);

// The long straight lines that are neither horizontal nor vertical, as
// angles in radians (0..pi), with the region of the reduced copy that
// holds each.
struct Slant {
  double angle;
  cv::Rect region;
};
std::vector<Slant> slantedDirections(const cv::Mat& residual, const Scale& s);

// Bands along the direction of a slant, found in its region turned level.
void slantedPieces(const cv::Mat& ink, const Slant& slant, const Scale& s, std::vector<Piece>& out);

// Joins the pieces into walls: collinear pieces across gaps up to the
// longest opening (recording the gap), ends brought onto the walls they
// run into, short walls dropped. Returns the map in image pixels.
WallMap assemble(std::vector<Piece> pieces, const Scale& s);

}  // namespace ink::steps
