// Brings the row lists' changes to the UI thread. A change on any thread wakes the watcher
// (RowListObserver); it posts itself a queued call and, on the UI thread, takes what gathered
// for that list at most once per frame interval, then tells its listeners (the file lists'
// models, the frame's title and statistics) through the changed signal. However fast workers
// change rows, each list is repainted at most once a frame.
//
// Lives on the UI thread. It registers itself with the lists in its constructor and removes
// itself in its destructor; after that no wake reaches it, and calls it had already queued are
// dropped with it.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>

#include "core/RowList.h"

Q_DECLARE_METATYPE(quarto::Side)
Q_DECLARE_METATYPE(quarto::RowListChanges)

namespace quarto {

class RowListWatcher final : public QObject, public RowListObserver {
    Q_OBJECT

  public:
    // 60 frames a second.
    static constexpr int kFrameIntervalMs = 16;

    explicit RowListWatcher(RowListPair& lists, QObject* parent = nullptr);
    ~RowListWatcher() override;
    RowListWatcher(const RowListWatcher&) = delete;
    RowListWatcher& operator=(const RowListWatcher&) = delete;

    RowListPair& Lists() { return m_lists; }
    // Takes and tells what is pending for `side` now, without waiting for the frame interval.
    void Flush(Side side);

    // Any thread.
    void RowListChangesPending(Side side) override;

  signals:
    void changed(quarto::Side side, const quarto::RowListChanges& changes);

  private:
    void Schedule(Side side);
    void Deliver(Side side);

    struct PerList {
        QElapsedTimer sinceDelivery;  // invalid until the first delivery
        QTimer deferred;              // a delivery waiting for the frame interval to pass
    };

    RowListPair& m_lists;
    std::array<PerList, 2> m_perList;
};

}  // namespace quarto
