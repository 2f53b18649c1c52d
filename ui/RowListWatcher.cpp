#include "ui/RowListWatcher.h"

namespace quarto {

RowListWatcher::RowListWatcher(RowListPair& lists, QObject* parent) : QObject(parent), m_lists(lists) {
    for (Side side : kSides) {
        QTimer& timer = m_perList[Index(side)].deferred;
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, this, [this, side] { Deliver(side); });
    }
    m_lists.AddObserver(this);
}

RowListWatcher::~RowListWatcher() {
    m_lists.RemoveObserver(this);
}

void RowListWatcher::RowListChangesPending(Side side) {
    // Queued even on the UI thread, so a listener never runs inside a RowList call.
    QMetaObject::invokeMethod(
        this, [this, side] { Schedule(side); }, Qt::QueuedConnection);
}

void RowListWatcher::Schedule(Side side) {
    PerList& list = m_perList[Index(side)];
    if (list.deferred.isActive()) return;  // a delivery is due already and will take this too
    const qint64 since = list.sinceDelivery.isValid() ? list.sinceDelivery.elapsed() : kFrameIntervalMs;
    if (since >= kFrameIntervalMs) {
        Deliver(side);
    } else {
        list.deferred.start(static_cast<int>(kFrameIntervalMs - since));
    }
}

void RowListWatcher::Flush(Side side) {
    m_perList[Index(side)].deferred.stop();
    Deliver(side);
}

void RowListWatcher::Deliver(Side side) {
    const RowListChanges changes = m_lists.TakeChanges(this, side);
    m_perList[Index(side)].sinceDelivery.restart();
    emit changed(side, changes);
}

}  // namespace quarto
