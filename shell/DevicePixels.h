#pragma once

#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QTransform>

// The device pixels a widget's rectangle covers in the window's backing store,
// rounded as Qt's raster painting rounds a widget's clip and an update: each
// corner to the nearest pixel edge. `toDevice` is a painter's deviceTransform().
// Where the scale puts a widget between two pixels, painting in these whole
// pixels keeps every line and copied pixel inside the clip, where painting in
// layout pixels would lose what falls on the far side of the rounding.
inline QRect DeviceRect(const QTransform& toDevice, const QRectF& rect) {
    const QPoint topLeft = toDevice.map(rect.topLeft()).toPoint();
    const QPoint bottomRight = toDevice.map(rect.bottomRight()).toPoint();
    return QRect(topLeft, bottomRight - QPoint(1, 1));
}
