// The shared hover look of picture buttons.
#include "desktop/HoverButtons.h"

#include <QAbstractButton>
#include <QColor>
#include <QPalette>
#include <algorithm>

HoverButtons::HoverButtons(int none, int initial) : m_none(none), m_hovered(initial) {}

void HoverButtons::add(int index, QAbstractButton *button)
{
    button->setAutoFillBackground(true);
    m_buttons.append({index, button});
}

void HoverButtons::paint(QAbstractButton *button, bool hovered) const
{
    // An empty palette hands the face back to the application's, so it follows the desktop;
    // a colour taken once, before the application exists, would be black.
    QPalette palette;
    if (hovered)
        palette.setColor(QPalette::Button, QColor(0x80, 0x80, 0x80));
    button->setPalette(palette);
}

void HoverButtons::hover(int index)
{
    if (index == m_hovered)
        return;
    for (const Entry &entry : m_buttons)
        paint(entry.button, entry.index == index);
    m_hovered = index;
}

void HoverButtons::leave()
{
    // Only a remembered button is repainted (the index a window opens with may be no button).
    const bool remembered = std::any_of(m_buttons.begin(), m_buttons.end(),
                                        [this](const Entry &e) { return e.index == m_hovered; });
    if (!remembered)
        return;
    for (const Entry &entry : m_buttons)
        paint(entry.button, false);
    m_hovered = m_none;
}
