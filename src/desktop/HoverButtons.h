// Picture buttons that turn grey under the pointer while the others keep the button face.
#pragma once

#include <QList>

class QAbstractButton;

/// The hover look shared by the target list, the sun window and its printer dialog. The button
/// face is the application palette's, read when the buttons paint.
class HoverButtons final
{
public:
    /// `none` is the index that means no button; the index starts at `initial`.
    explicit HoverButtons(int none, int initial);

    /// Adds the button of `index`.
    void add(int index, QAbstractButton *button);
    /// The pointer moved onto the button of `index`: it turns grey, the others take the face.
    void hover(int index);
    /// The pointer moved over the window's own surface: every button takes the face.
    void leave();
    /// The index of the grey button, or the `none` index.
    int hovered() const { return m_hovered; }

private:
    void paint(QAbstractButton *button, bool hovered) const;

    struct Entry
    {
        int index;
        QAbstractButton *button;
    };
    QList<Entry> m_buttons;
    int m_none;
    int m_hovered;
};
