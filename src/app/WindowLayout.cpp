#include "app/WindowLayout.h"

#include <algorithm>

namespace WindowLayout {

namespace {
// The fixed edges of the moving controls and the margins the rules keep around them.
constexpr int kText2Left = 2520;
constexpr int kText2Top = 480;
constexpr int kText2RightMargin = 2650;  // width = W - 2650
constexpr int kText2BottomMargin = 1050; // height = H - 1050
constexpr int kList1Left = 120;
constexpr int kList1Top = 840;
constexpr int kList1Width = 2295;
constexpr int kList1ShorterBy = 400;
constexpr int kToolbarLeft = 120;
constexpr int kToolbarBelowText = 550;
constexpr int kToolbarNarrowerBy = 300;
constexpr int kSaveFromToolbarEnd = 1210;
constexpr int kSaveWidth = 1215;
constexpr int kSaveHeight = 345;
} // namespace

Arrangement arrange(int width, int height) {
    Arrangement a;
    a.width = std::max(width, kMinWidth);
    a.height = std::max(height, kMinHeight);
    a.titleBar = {0, 0, a.width, kTitleBarHeight};
    a.resizepic = {a.width - kGripWidth, a.height - kGripHeight, kGripWidth, kGripHeight};
    a.text2 = {kText2Left, kText2Top, a.width - kText2RightMargin, a.height - kText2BottomMargin};
    a.list1 = {kList1Left, kList1Top, kList1Width, a.text2.height - kList1ShorterBy};
    a.picture1 = {kToolbarLeft, a.text2.height + kToolbarBelowText, a.width - kToolbarNarrowerBy, kToolbarHeight};
    a.label6 = {a.picture1.width - kSaveFromToolbarEnd, 0, kSaveWidth, kSaveHeight};
    return a;
}

QSize gripDragSize(QPoint pointerInWindow) {
    return {pointerInWindow.x() + kGripWidth, pointerInWindow.y() + kGripHeight};
}

} // namespace WindowLayout
