#pragma once
// Integer zoom levels as the picture views use them: level z >= 1 shows the picture z times
// enlarged, z < 1 reduced by the divisor 2 - z (0 halves, -1 thirds, ...). Plain arithmetic, so
// it is tested without a window.

namespace quenda {

// How far a view may zoom: Zoom In is allowed while the percentage is below `inBelowPercent`,
// Zoom Out while it is at least `outFromPercent`.
struct ZoomLimits {
  int inBelowPercent = 1601;
  int outFromPercent = 6;
};

// 100 z for z >= 1, else 100 / (2 - z), truncated.
int ZoomLevelPercent(int level);
double ZoomLevelFactor(int level);
bool ZoomInAllowed(int level, const ZoomLimits& limits);
bool ZoomOutAllowed(int level, const ZoomLimits& limits);
// A picture side on screen at `level`, truncated.
int ZoomedLength(int length, int level);
// The level's inverse for one coordinate: the picture position drawn at screen offset `offset`
// from the picture's start. Floor division, so offsets before the picture give negative
// positions rather than rounding onto the first pixel.
int UnzoomedPosition(int offset, int level);
// Where the picture starts inside a larger window (half the difference, truncated); 0 when the
// picture does not fit.
int CentreOffset(int windowLength, int zoomedLength);
// The scroll position after a zoom that keeps the window's centre in place: (old + half the
// window) x new factor / old factor - half the window, truncated, clamped to 0 .. maxScroll.
int ScrollKeepingCentre(int oldScroll, int windowLength, int oldLevel, int newLevel, int maxScroll);
// The largest level reachable from 1:1 by Zoom In or Out within `limits` at which a picture of
// width x height fits a window of the given size (the smallest allowed level when none does).
int FittingZoomLevel(int width, int height, int windowWidth, int windowHeight,
                     const ZoomLimits& limits);
// Panning moves the picture with the mouse: old + previous - current, clamped to
// 0 .. zoomedLength - windowLength.
int ScrollAfterPan(int oldScroll, int previousMouse, int currentMouse, int zoomedLength,
                   int windowLength);

}  // namespace quenda
