#pragma once
#include <QPoint>
#include <QSize>

namespace bxw {

// The tool's own window sizes, scaled once at start by the display scale of each axis.
struct LayoutMetrics {
  QSize main, tree, properties;
  QSize treeMargin, propertiesMargin;
  int helpHeight = 0;
  QPoint previewOffset;
  int propertiesRowHeight = 0;
  int propertiesControlHeight = 0;
  int propertiesLeftMargin = 0, propertiesTopMargin = 0;
  static constexpr double kColumnFactor1 = 0.33;
  static constexpr double kColumnFactor2 = 0.66;
};

// Display scale of one axis: pixels per logical inch / 96; an unreadable resolution (0 or less)
// falls back to 1 so that no window collapses to nothing.
double ScaleFromDpi(double dotsPerInch);
LayoutMetrics ComputeLayoutMetrics(double scaleX, double scaleY);

// Where a tool window goes after the main window's client area changed from last to now:
// it follows the right edge (and for the properties window the bottom edge too), then stays at
// least 32 pixels inside the right and bottom edges and never goes negative.
QPoint FollowMainWindow(QPoint current, QSize last, QSize now, bool followBottom);
QPoint ClampToolWindow(QPoint proposed, QSize client);

}  // namespace bxw
