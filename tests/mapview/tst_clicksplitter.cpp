// The click-to-collapse splitter on its own: a click collapses an area and the next gives its size back, a
// drag resizes without collapsing, and the middle area always keeps a sliver.
#include "mapview/clicksplitter.h"
#include "person.h"

#include <QTest>
#include <memory>

using namespace veldor;
using namespace veldor::test;

class TestClickSplitter : public QObject
{
    Q_OBJECT

    // Left and right areas around a middle one, each handle collapsing the area on its far side from the middle,
    // wired as the window wires its handles.
    struct Three
    {
        std::unique_ptr<ClickSplitter> splitter = std::make_unique<ClickSplitter>(Qt::Horizontal);
        QWidget* left = new QWidget;
        QWidget* middle = new QWidget;
        QWidget* right = new QWidget;
        ClickSplitterHandle* leftHandle = nullptr;
        ClickSplitterHandle* rightHandle = nullptr;

        Three()
        {
            splitter->addWidget(left);
            splitter->addWidget(middle);
            splitter->addWidget(right);
            splitter->setHandleWidth(7);
            splitter->resize(614, 200);
            splitter->setSizes({100, 400, 100});
            leftHandle = splitter->clickHandle(1);
            rightHandle = splitter->clickHandle(2);
            splitter->setCollapsing(leftHandle, 0, 1, 200);
            splitter->setCollapsing(rightHandle, 2, 1, 50);
            for (ClickSplitterHandle* handle : {leftHandle, rightHandle}) {
                ClickSplitter* s = splitter.get();
                connect(handle, &ClickSplitterHandle::canResize, s, [s] { s->beginDrag(); });
                connect(handle, &ClickSplitterHandle::moved, s, [s](ClickSplitterHandle* h) { s->release(h); });
            }
            splitter->show();
        }
        bool shown() { return QTest::qWaitForWindowExposed(splitter.get()); }
    };

private slots:
    void aClickCollapsesAndTheNextRestores()
    {
        Three t;
        QVERIFY(t.shown());
        person::click(t.rightHandle);
        QTRY_COMPARE(t.right->width(), ClickSplitter::kCollapsed);
        QCOMPARE(t.splitter->savedSize(t.rightHandle), 100);
        QCOMPARE(t.middle->width(), 495); // the room went to the middle
        QCOMPARE(t.left->width(), 100);   // the other side untouched
        // The handle moved with the area: click where it is now.
        person::click(t.rightHandle);
        QTRY_COMPARE(t.right->width(), 100);
        QCOMPARE(t.middle->width(), 400);

        person::click(t.leftHandle);
        QTRY_COMPARE(t.left->width(), ClickSplitter::kCollapsed);
        person::click(t.leftHandle);
        QTRY_COMPARE(t.left->width(), 100);
    }

    void aDragResizesAndIsRememberedByTheNextCollapse()
    {
        Three t;
        QVERIFY(t.shown());
        person::drag(t.rightHandle, QPoint(-40, 0));
        QTRY_COMPARE(t.right->width(), 140);
        QVERIFY(!t.splitter->dragging());
        person::click(t.rightHandle);
        QTRY_COMPARE(t.right->width(), ClickSplitter::kCollapsed);
        QCOMPARE(t.splitter->savedSize(t.rightHandle), 140);
        person::click(t.rightHandle);
        QTRY_COMPARE(t.right->width(), 140);
    }

    void anAreaCollapsedFromTheStartGetsItsDefaultSize()
    {
        Three t;
        t.splitter->setSizes({100, 495, 5});
        QVERIFY(t.shown());
        QCOMPARE(t.right->width(), 5);
        person::click(t.rightHandle);
        QTRY_COMPARE(t.right->width(), 50);
    }

    void theMiddleKeepsASliverWhenARestoreWantsMore()
    {
        Three t;
        QVERIFY(t.shown());
        person::click(t.rightHandle); // right collapsed, remembers 100
        QTRY_COMPARE(t.right->width(), ClickSplitter::kCollapsed);
        t.splitter->setSizes({585, 10, 5}); // the user then gave nearly everything to the left
        QTRY_COMPARE(t.middle->width(), 10);
        person::click(t.rightHandle);
        QTRY_COMPARE(t.right->width(), 10); // only what the middle could give
        QCOMPARE(t.middle->width(), ClickSplitter::kCollapsed);
    }

    void collapseOnlyEverCollapses()
    {
        Three t;
        QVERIFY(t.shown());
        t.splitter->collapse(t.leftHandle);
        QCOMPARE(t.left->width(), ClickSplitter::kCollapsed);
        t.splitter->collapse(t.leftHandle); // a second combat leaves it collapsed
        QCOMPARE(t.left->width(), ClickSplitter::kCollapsed);
        QCOMPARE(t.splitter->savedSize(t.leftHandle), 100);
    }
};

QTEST_MAIN(TestClickSplitter)
#include "tst_clicksplitter.moc"
