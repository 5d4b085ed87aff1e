// The console's grid as a widget: the cells the slots make, their places, and drops reaching the
// engine's slots through the real drag-and-drop events.
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

#include "ConsoleFixture.h"
#include "ui/console/ConsoleLock.h"
#include "ui/console/ConsoleStripWidget.h"
#include "ui/console/StripButtonRow.h"
#include "ui/console/ConsoleView.h"
#include "ui/style/ThemeController.h"

namespace quellor::test {
namespace {

class ConsoleViewTest : public ConsoleFixture {
protected:
    std::unique_ptr<ConsoleView> view(QSize size) {
        auto v = std::make_unique<ConsoleView>(engine(), nullptr, defaults(), themes);
        v->resize(size);
        v->show();
        return v;
    }
    // The posted rebuild after a burst of changes.
    void flush() { settle(); }
    static QPoint centreOf(const ConsoleView& v, int index) { return v.strip(index)->geometry().center(); }
    // A drag of `text` entering the cell of slot `index` and dropping there, as Qt delivers it.
    void dragAndDrop(ConsoleView& v, int index, const QString& text) {
        QMimeData mime;
        mime.setText(text);
        const QPoint at = centreOf(v, index);
        QDragEnterEvent enter(at, Qt::MoveAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(v.grid(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        EXPECT_TRUE(v.dropHighlight().highlights(index));
        QDropEvent drop(at, Qt::MoveAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(v.grid(), &drop);
    }

    ThemeController themes{defaults()};
};

TEST_F(ConsoleViewTest, ASlotDroppedOnAnotherStripSwapsTheTwoAndTheOutlineClears) {
    auto v = view({900, 500});
    const QStringList before = engine().consoleSlots();
    ASSERT_GE(before.size(), 3);
    ConsoleStripWidget* third = v->strip(2);

    dragAndDrop(*v, 1, "vesk-slot:0");
    flush();
    QStringList swapped = before;
    swapped.swapItemsAt(0, 1);
    EXPECT_EQ(engine().consoleSlots(), swapped);
    EXPECT_FALSE(v->dropHighlight().target()) << "no outline stays behind once the drag is over";
    EXPECT_EQ(v->strip(0)->model().name, model(before[1]).name);
    EXPECT_EQ(v->strip(1)->model().name, model(before[0]).name);
    EXPECT_EQ(v->strip(2), third) << "a cell that keeps its slot and source keeps its widget";

    // Text from another program, or a slot outside the list, moves nothing.
    for (const QString& text : {QString("hello"), QString("vesk-slot:99"), QString("vesk-app:")}) {
        dragAndDrop(*v, 1, text);
        flush();
        EXPECT_EQ(engine().consoleSlots(), swapped) << text.toStdString();
    }
}

TEST_F(ConsoleViewTest, EmptySlotsShowTheirPlusAndSixteenStripsScrollInsideTheNarrowedWidth) {
    engine().setSlot(QString(), 3);
    auto v = view({700, 400});
    flush();
    ASSERT_EQ(v->stripCount(), 8);
    auto* plus = v->findChild<QToolButton*>("empty-strip-4");
    ASSERT_TRUE(plus);
    EXPECT_TRUE(plus->isVisible());
    EXPECT_EQ(plus->parentWidget(), v->strip(3));
    EXPECT_FALSE(v->findChild<QToolButton*>("empty-strip-1"));
    EXPECT_FALSE(v->strip(3)->dragPayload()) << "no drag starts from an empty slot";

    defaults().setInteger("consoleStrips", 16);
    flush();
    QCoreApplication::sendPostedEvents();  // the scroll area's own layout pass
    ASSERT_EQ(v->stripCount(), 16);
    EXPECT_TRUE(v->layout().scrolls);
    EXPECT_TRUE(v->verticalScrollBar()->isVisible());
    const int width = v->viewport()->width();
    EXPECT_LT(width, v->width()) << "the scroll bar narrows the rows";
    for (int i = 0; i < 16; ++i) {
        EXPECT_LE(v->strip(i)->geometry().right(), width) << i;
        EXPECT_GE(v->strip(i)->height(), 220) << i;
    }
    EXPECT_GT(v->strip(15)->geometry().bottom(), v->viewport()->height()) << "the last row lies below the fold";
}

TEST_F(ConsoleViewTest, TheLockStopsClicksAndDropsOnTheStripsButNotScrolling) {
    defaults().setInteger("consoleStrips", 16);
    auto v = view({700, 400});
    engine().setSlot(kPlayer, 0);
    flush();
    auto muted = [&] { return engine().volumes().count(kPlayer) && engine().volumes().at(kPlayer).isMuted; };
    // A click as the window system delivers it: to whatever widget stands under the pointer.
    auto clickMute = [&] {
        auto* mute = v->strip(0)->findChild<QWidget*>("strip-mute-button");
        ASSERT_TRUE(mute);
        QTest::mouseClick(v->windowHandle(), Qt::LeftButton, {}, mute->mapTo(v.get(), mute->rect().center()));
        flush();
    };
    const QStringList before = engine().consoleSlots();

    ConsoleLock::toggle(defaults());
    clickMute();
    EXPECT_FALSE(muted()) << "locked: the mute button is out of reach";
    QMimeData mime;
    mime.setText("vesk-slot:0");
    QDragEnterEvent enter(v->strip(1)->geometry().center(), Qt::MoveAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(v->grid(), &enter);
    EXPECT_FALSE(enter.isAccepted()) << "locked: no drop";
    EXPECT_EQ(engine().consoleSlots(), before);
    QWheelEvent wheel(QPointF(50, 50), v->mapToGlobal(QPointF(50, 50)), {}, QPoint(0, -240), Qt::NoButton, {},
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(v->viewport(), &wheel);
    EXPECT_GT(v->verticalScrollBar()->value(), 0) << "scrolling changes no mix state and stays";
    v->verticalScrollBar()->setValue(0);

    ConsoleLock::toggle(defaults());
    clickMute();
    EXPECT_TRUE(muted());
}

}  // namespace
}  // namespace quellor::test
