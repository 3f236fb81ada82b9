#include "window/placement.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace trelvan {

namespace {

bool coversAny(const QRect& r, const QList<QRect>& rects) {
    return std::any_of(rects.begin(), rects.end(), [&](const QRect& k) { return r.intersects(k); });
}

}  // namespace

QRect onScreen(QRect r, const QRect& screen) {
    r.setWidth(std::min(r.width(), screen.width()));
    r.setHeight(std::min(r.height(), screen.height()));
    r.moveLeft(std::clamp(r.left(), screen.left(), screen.right() + 1 - r.width()));
    r.moveTop(std::clamp(r.top(), screen.top(), screen.bottom() + 1 - r.height()));
    return r;
}

WindowFit fitWindow(QSize content, QMargins frame, QRect available) {
    const QSize outer = content.grownBy(frame);
    if (outer.width() > available.width() || outer.height() > available.height())
        return {available, true};

    // Room for an input box at its full width beside the window: the two are centred
    // together. Room only for a narrower one: the window stands at the left. No room:
    // the window is centred and the input boxes stand over its diagram.
    const int spare = available.width() - outer.width();
    int left = available.left() + spare / 2;
    if (spare >= inputBoxGap + inputBoxWidth)
        left = available.left() + (spare - inputBoxGap - inputBoxWidth) / 2;
    else if (spare >= inputBoxGap + inputBoxLeastWidth)
        left = available.left();
    const int top = available.top() + (available.height() - outer.height()) / 2;
    return {QRect(QPoint(left, top), outer), false};
}

QRect placeInputBox(const InputBoxScene& scene, QSize size) {
    const QRect& screen = scene.screen;
    const int width = size.width();
    const QRect& window = scene.window;
    const QRect asked = scene.keepClear.isEmpty() ? window : scene.keepClear.front();

    // Beside the window it covers nothing of it. Level with the box asked about, so
    // that the eye goes straight from the prompt to the value.
    const int roomRight = screen.right() - window.right() - inputBoxGap;
    const int roomLeft = window.left() - screen.left() - inputBoxGap;
    for (const bool right : {true, false}) {
        const int w = std::min(width, right ? roomRight : roomLeft);
        const int h = size.height();
        if (w < std::min(width, inputBoxLeastWidth) || h > screen.height()) continue;
        const int x = right ? window.right() + 1 + inputBoxGap : window.left() - inputBoxGap - w;
        return onScreen(QRect(x, asked.center().y() - h / 2, w, h), screen);
    }

    // Over the diagram, which shows nothing the operator is asked about: reaching up
    // from its bottom edge, else down from its top edge.
    const int w = std::min(width, screen.width());
    const int h = size.height();
    if (!scene.strip.isEmpty()) {
        for (const int top : {scene.strip.bottom() + 1 - h, scene.strip.top()}) {
            const QRect r = onScreen(QRect(window.center().x() - w / 2, top, w, h), screen);
            if (!coversAny(r, scene.keepClear)) return r;
        }
    }

    // Anywhere on the screen clear of what must stay in sight: beside, above or below
    // each such rectangle, or in a corner of the screen; narrower where that helps.
    // Where nothing is clear of all of it, clear of the box asked about.
    const auto clearOf = [&](const QList<QRect>& avoid) -> std::optional<QRect> {
        for (const int boxWidth : {w, std::min(w, inputBoxLeastWidth)}) {
            const int boxHeight = h;
            std::vector<int> xs{window.center().x() - boxWidth / 2, screen.left(),
                                screen.right() + 1 - boxWidth};
            std::vector<int> ys{screen.top(), screen.bottom() + 1 - boxHeight};
            for (const QRect& k : avoid) {
                xs.push_back(k.right() + 1 + inputBoxGap);
                xs.push_back(k.left() - inputBoxGap - boxWidth);
                ys.push_back(k.top() - inputBoxGap - boxHeight);
                ys.push_back(k.bottom() + 1 + inputBoxGap);
            }
            for (const int y : ys) {
                for (const int x : xs) {
                    const QRect r = onScreen(QRect(x, y, boxWidth, boxHeight), screen);
                    if (!coversAny(r, avoid)) return r;
                }
            }
        }
        return std::nullopt;
    };
    if (const auto r = clearOf(scene.keepClear)) return *r;
    if (scene.keepClear.size() > 1) {
        if (const auto r = clearOf({scene.keepClear.front()})) return *r;
    }
    return onScreen(QRect(window.center().x() - w / 2, window.center().y() - h / 2, w, h), screen);
}

QRect placeChildWindow(const ChildScene& scene, QSize wanted, QSize least) {
    const QRect& screen = scene.screen;
    const QRect& window = scene.window;
    wanted = wanted.expandedTo(least).boundedTo(screen.size());
    least = least.boundedTo(wanted);
    const auto fits = [&](const QRect& room) {
        return room.width() >= least.width() && room.height() >= least.height();
    };
    // As large as wanted within `room`, as near the main window's middle as it goes.
    const auto within = [&](const QRect& room) {
        const QSize size = wanted.boundedTo(room.size());
        const int x = std::clamp(window.center().x() - size.width() / 2, room.left(), room.right() + 1 - size.width());
        const int y = std::clamp(window.top(), room.top(), room.bottom() + 1 - size.height());
        return QRect(QPoint(x, y), size);
    };

    // Beside the main window it hides nothing of it: to the right, else to the left.
    const QRect right(QPoint(window.right() + 1 + inputBoxGap, screen.top()), screen.bottomRight());
    const QRect left(screen.topLeft(), QPoint(window.left() - 1 - inputBoxGap, screen.bottom()));
    for (const QRect& room : {right, left}) {
        if (room.isValid() && fits(room)) return within(room);
    }

    // The parts of the screen bounded by its edges and the panels' edges that are
    // clear of every panel; the one that holds the largest window.
    std::vector<int> lefts{screen.left()}, rights{screen.right()}, tops{screen.top()}, bottoms{screen.bottom()};
    for (const QRect& k : scene.keepClear) {
        lefts.push_back(k.right() + 1 + inputBoxGap);
        rights.push_back(k.left() - 1 - inputBoxGap);
        tops.push_back(k.bottom() + 1 + inputBoxGap);
        bottoms.push_back(k.top() - 1 - inputBoxGap);
    }
    std::optional<QRect> best;
    long long bestArea = -1;
    for (const int l : lefts)
        for (const int r : rights)
            for (const int t : tops)
                for (const int b : bottoms) {
                    const QRect room(QPoint(l, t), QPoint(r, b));
                    if (!room.isValid() || !screen.contains(room) || !fits(room) || coversAny(room, scene.keepClear))
                        continue;
                    const QRect placed = within(room);
                    const long long area = static_cast<long long>(placed.width()) * placed.height();
                    if (area > bestArea) {
                        best = placed;
                        bestArea = area;
                    }
                }
    if (best) return *best;

    return onScreen(QRect(window.center() - QPoint(wanted.width() / 2, wanted.height() / 2), wanted), screen);
}

}  // namespace trelvan
