#pragma once
// CHRXHyperLink: a text label that behaves as a web link. It takes its
// address from its own text, draws in a link, hover or visited colour with an
// underlined font, shows a hand cursor over its text and the address as its
// tooltip, and opens the address through the shell (platform/shell.h) when
// its text is clicked.
//
// A "text label" shows text (no pixmap, picture or movie). A label that
// shows an image takes no address from its text, keeps its own colours and
// counts as text all over (a click anywhere opens the address set on it).
//
// The hover state runs as a loop of mouse moves and timer ticks: a move over
// the text starts a 10 ms timer; each tick compares the cursor with the text
// rectangle, repaints in the new colour when the state changed, and stops
// once the cursor has left the text.
//
// Sections: colours - CHRXHyperLink (set-up, state, opening, text geometry,
// events)
#include <QBasicTimer>
#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QString>
#include <optional>

#include "platform/win_types.h"

// ---- colours ---------------------------------------------------------------
// A colour as 0x00BBGGRR (red in the low byte).
using COLORREF = DWORD;
// The colour for painting; the top byte is ignored.
QColor ColorFromColorRef(COLORREF colour);

inline constexpr COLORREF kHyperLinkColor = 0xFF0000;     // blue
inline constexpr COLORREF kHyperHoverColor = 0x0000FF;    // red
inline constexpr COLORREF kHyperVisitedColor = 0x800080;  // purple

// ---- CHRXHyperLink -----------------------------------------------------------
class CHRXHyperLink : public QLabel {
  Q_OBJECT

 public:
  // Creates the label (plain text, with the given text) and prepares the
  // link: the address becomes the text (for a text label), and the
  // underlined link font and the link colour are set. The address follows
  // the text: whenever another text is set (through this class or through
  // QLabel), a text label takes it as its address and tooltip.
  explicit CHRXHyperLink(QWidget* parent = nullptr);
  explicit CHRXHyperLink(const QString& text, QWidget* parent = nullptr);
  ~CHRXHyperLink() override;

  // The address. The first non-empty address also becomes the tooltip; a
  // later one replaces the tooltip's text.
  virtual void SetLinkTarget(const QString& text);
  virtual QString GetLinkTarget() const;
  // QLabel::setText, and the address follows it.
  void setText(const QString& text);

  // The three state colours (stored, then repainted).
  virtual void SetStateColors(COLORREF link, COLORREF visited, COLORREF hover);
  virtual COLORREF GetNormalStateColor() const;
  virtual COLORREF GetVisitedStateColor() const;
  virtual COLORREF GetHoverStateColor() const;

  // Visited shows in the visited colour (when the mouse is not over it).
  virtual void MarkVisited(bool visited);
  virtual bool WasVisited() const;

  // The cursor over the text; none keeps the label's usual cursor. The
  // pointing hand by default.
  virtual void SetHoverCursor(const std::optional<QCursor>& cursor);
  virtual std::optional<QCursor> GetHoverCursor() const;

  // Underlined text (the default); the link font is rebuilt at once.
  virtual void SetUnderlined(bool underlined);
  virtual bool IsUnderlined() const;

  // A value kept for the owner; nothing here reads it.
  virtual void SetExtraOption(int option);
  virtual int GetExtraOption() const;

  // Opens the target (null: the address) with the desktop: an existing
  // local file as a document, anything else as an address. False when
  // there is nothing to open or the shell failed; OnOpenError hears of the
  // failure.
  virtual bool OpenTarget(const QString* target = nullptr);

  // True for a text label (see the top of this file).
  virtual bool HasTextStyle() const;
  // Whether the mouse cursor lies on the text (IsPointOverText of the
  // cursor's screen position).
  virtual bool IsCursorOverText() const;
  // Whether a screen point lies on the text: the label's rectangle narrowed
  // horizontally to the width of its text, placed by its alignment (left,
  // centred, right); the whole height counts. Always true for a label that
  // is not a text label.
  bool IsPointOverText(const QPoint& globalPos) const;

 protected:
  // Hears of a failed open; does nothing.
  virtual void OnOpenError(int errorCode);
  // Takes the address from the text, then RefreshLinkFont.
  virtual bool PrepareLink();
  // Builds the link font, sets it on the label and repaints.
  virtual bool RefreshLinkFont();
  // The label's font with the underline setting.
  virtual bool BuildLinkFont(QFont& font, bool underline);

  // A click at a screen point: opens the address when the point is on the
  // text (visited := whether that succeeded) and hides the tooltip. True
  // when the click is handled here (an image label), false when the parent
  // should hear of it too (a text label).
  virtual bool OnTextClicked(const QPoint& globalPos);

  // Every event first lets the address catch up with a text set through
  // QLabel (whose setText is not virtual).
  bool event(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void Initialise(const QString& text);
  // A text label whose text changed since the address was last taken from
  // it takes the new text as its address.
  void FollowText();
  void OnSetCursor(const QPoint& globalPos);
  void OnMouseMove(const QPoint& globalPos);
  void OnTimer();
  // The colour for the current state into the label's palette (text labels
  // only).
  void ApplyStateColor();
  // ApplyStateColor, then an immediate repaint.
  void Repaint();

  const bool m_openOnClick = true;
  bool m_underline = true;
  bool m_mouseOver = false;
  bool m_visited = false;
  const bool m_tooltipActive = true;
  bool m_tooltipCreated = false;
  QFont m_linkFont;
  QString m_url;
  QString m_textTaken;  // the text the address was last taken from
  QString m_tooltipText;
  std::optional<QCursor> m_linkCursor;
  COLORREF m_linkColor = kHyperLinkColor;
  COLORREF m_hoverColor = kHyperHoverColor;
  COLORREF m_visitedColor = kHyperVisitedColor;
  int m_linkOption = 0;
  QBasicTimer m_hoverTimer;
};
