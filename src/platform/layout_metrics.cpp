#include "platform/layout_metrics.h"

#include <cmath>

namespace bxw {

double ScaleFromDpi(double dotsPerInch) {
  return dotsPerInch > 0 ? dotsPerInch / 96.0 : 1.0;
}

LayoutMetrics ComputeLayoutMetrics(double scaleX, double scaleY) {
  auto x = [&](int v) { return static_cast<int>(std::lround(v * scaleX)); };
  auto y = [&](int v) { return static_cast<int>(std::lround(v * scaleY)); };
  LayoutMetrics m;
  m.main = QSize(x(800), y(600));
  m.tree = QSize(x(240), y(480));
  m.properties = QSize(x(240), y(480));
  m.treeMargin = QSize(x(8), y(8));
  m.propertiesMargin = QSize(x(8), y(8));
  m.helpHeight = y(64);
  m.previewOffset = QPoint(x(8), y(8));
  m.propertiesRowHeight = y(22);
  m.propertiesControlHeight = y(18);
  m.propertiesLeftMargin = x(4);
  m.propertiesTopMargin = y(4);
  return m;
}

QPoint ClampToolWindow(QPoint p, QSize client) {
  const int w = client.width();
  const int h = client.height();
  if (w - p.x() < 32) p.setX(w - 32);
  if (h - p.y() < 32) p.setY(h - 32);
  if (p.x() < 0) p.setX(0);
  if (p.y() < 0) p.setY(0);
  return p;
}

QPoint FollowMainWindow(QPoint current, QSize last, QSize now, bool followBottom) {
  QPoint p(current.x() + (now.width() - last.width()), current.y());
  if (followBottom) p.setY(current.y() + (now.height() - last.height()));
  return ClampToolWindow(p, now);
}

}  // namespace bxw
