#pragma once
// Where the window opens, where each input box stands and where a child window
// opens, as plain geometry on the screen (logical pixels, global coordinates), so
// that each can be checked for any screen without one.

#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>

namespace trelvan {

// The input box: as wide as this when it stands over the window, so that the long
// prompts wrap into a few lines; beside the window it may be narrower, down to the
// least width at which a prompt still reads well. Both include the box's frame.
inline constexpr int inputBoxWidth = 560;
inline constexpr int inputBoxLeastWidth = 340;
// The distance the input box keeps from the window and from what it must not cover.
inline constexpr int inputBoxGap = 8;

// The rectangle moved (and, only if it is larger than the screen, cut) so that it
// lies wholly on the screen.
QRect onScreen(QRect r, const QRect& screen);

struct WindowFit {
    QRect frame;   // the window with its frame
    bool scrolls;  // the form does not fit and scrolls inside the window
};

// The window for a form of `content` pixels (menu bar included) on a screen whose
// free area is `available`, with a frame of `frame` around it. When the whole form
// fits, the window shows all of it and leaves room beside it for an input box where
// the screen allows; otherwise it takes the whole free area and the form scrolls.
WindowFit fitWindow(QSize content, QMargins frame, QRect available);

// What an input box sees when it opens.
struct InputBoxScene {
    QRect screen;            // the screen's free area
    QRect window;            // the main window with its frame
    QRect strip;             // the visible part of the chain diagram across the top
    QList<QRect> keepClear;  // what the operator must still see: the box asked about
                             // first, the precision and results panels at the listing
};

// The frame rectangle of an input box of `size` (frame included; it may be made
// narrower, down to inputBoxLeastWidth). In order of preference: beside the window (to the
// right, else to the left), level with what it asks about; over the diagram strip;
// anywhere else that covers nothing of keepClear, narrower if need be; where no place
// is clear of all of keepClear, one clear of its first rectangle. It always lies
// wholly on the screen.
QRect placeInputBox(const InputBoxScene& scene, QSize size);

// What a child window (the analysis, the plot, the job editor) sees when it opens.
struct ChildScene {
    QRect screen;            // the screen's free area
    QRect window;            // the main window with its frame
    QList<QRect> keepClear;  // the precision and results panels, as far as they show
};

// The frame rectangle of a child window that would be `wanted` large and can be no
// smaller than `least` (both with its frame). In order of preference: beside the main
// window, as large as wanted there; in the part of the screen clear of keepClear
// where it can be largest, near the main window's middle; where no part of the screen
// clear of keepClear holds `least`, centred on the main window. It always lies wholly
// on the screen.
QRect placeChildWindow(const ChildScene& scene, QSize wanted, QSize least);

}  // namespace trelvan
