#include "support/controls/hrx_hyperlink.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QMovie>
#include <QPalette>
#include <QPicture>
#include <QPixmap>
#include <QTimerEvent>
#include <QToolTip>

#include "platform/shell.h"

// Sections: colours - set-up - state - opening - text geometry - events

namespace {
constexpr int kHoverTimerMs = 10;
// Handed to OnOpenError when the shell could not open the target.
constexpr int kOpenFailed = 0;
}  // namespace

// ---- colours -----------------------------------------------------------------
QColor ColorFromColorRef(COLORREF colour) {
  return QColor(colour & 0xFFu, (colour >> 8) & 0xFFu, (colour >> 16) & 0xFFu);
}

// ---- set-up ------------------------------------------------------------------
CHRXHyperLink::CHRXHyperLink(QWidget* parent) : QLabel(parent) { Initialise(QString()); }

CHRXHyperLink::CHRXHyperLink(const QString& text, QWidget* parent) : QLabel(parent) { Initialise(text); }

CHRXHyperLink::~CHRXHyperLink() = default;

void CHRXHyperLink::Initialise(const QString& text) {
  setTextFormat(Qt::PlainText);
  setText(text);
  setMouseTracking(true);
  m_linkCursor = QCursor(Qt::PointingHandCursor);
  PrepareLink();
}

bool CHRXHyperLink::PrepareLink() {
  if (HasTextStyle()) {
    if (m_url.isEmpty()) m_url = text();
    m_textTaken = text();
    SetLinkTarget(m_url);
  }
  return RefreshLinkFont();
}

void CHRXHyperLink::setText(const QString& text) {
  QLabel::setText(text);
  FollowText();
}

void CHRXHyperLink::FollowText() {
  if (!HasTextStyle() || text() == m_textTaken) return;
  m_textTaken = text();
  SetLinkTarget(m_textTaken);
}

bool CHRXHyperLink::RefreshLinkFont() {
  if (!BuildLinkFont(m_linkFont, m_underline)) return false;
  setFont(m_linkFont);
  Repaint();
  return true;
}

bool CHRXHyperLink::BuildLinkFont(QFont& font, bool underline) {
  QFont made = this->font();
  made.setUnderline(underline);
  font = made;
  return true;
}

// ---- state -------------------------------------------------------------------
void CHRXHyperLink::SetLinkTarget(const QString& text) {
  m_url = text;
  if (m_tooltipText.isEmpty()) m_tooltipText = m_url;
  if (m_url.isEmpty() && m_tooltipText.isEmpty()) return;
  if (m_tooltipCreated) {
    setToolTip(m_url);
  } else {
    m_tooltipCreated = true;
    setToolTip(m_tooltipActive ? m_tooltipText : QString());
  }
}

QString CHRXHyperLink::GetLinkTarget() const {
  const_cast<CHRXHyperLink*>(this)->FollowText();
  return m_url;
}

void CHRXHyperLink::SetStateColors(COLORREF link, COLORREF visited, COLORREF hover) {
  m_linkColor = link;
  m_visitedColor = visited;
  m_hoverColor = hover;
  Repaint();
}

COLORREF CHRXHyperLink::GetNormalStateColor() const { return m_linkColor; }
COLORREF CHRXHyperLink::GetVisitedStateColor() const { return m_visitedColor; }
COLORREF CHRXHyperLink::GetHoverStateColor() const { return m_hoverColor; }

void CHRXHyperLink::MarkVisited(bool visited) {
  m_visited = visited;
  Repaint();
}

bool CHRXHyperLink::WasVisited() const { return m_visited; }

void CHRXHyperLink::SetHoverCursor(const std::optional<QCursor>& cursor) { m_linkCursor = cursor; }
std::optional<QCursor> CHRXHyperLink::GetHoverCursor() const { return m_linkCursor; }

void CHRXHyperLink::SetUnderlined(bool underlined) {
  m_underline = underlined;
  RefreshLinkFont();
}

bool CHRXHyperLink::IsUnderlined() const { return m_underline; }

void CHRXHyperLink::SetExtraOption(int option) {
  m_linkOption = option;
  Repaint();
}

int CHRXHyperLink::GetExtraOption() const { return m_linkOption; }

void CHRXHyperLink::ApplyStateColor() {
  if (!HasTextStyle()) return;
  const COLORREF colour = m_mouseOver ? m_hoverColor : m_visited ? m_visitedColor : m_linkColor;
  QPalette shades = palette();
  shades.setColor(QPalette::WindowText, ColorFromColorRef(colour));
  setPalette(shades);
}

void CHRXHyperLink::Repaint() {
  ApplyStateColor();
  repaint();
}

// ---- opening -----------------------------------------------------------------
bool CHRXHyperLink::OpenTarget(const QString* target) {
  FollowText();
  const QString address = target ? *target : m_url;
  bool opened = false;
  if (!address.isEmpty()) {
    const QFileInfo file(address);
    opened = file.isAbsolute() && file.exists() ? Shell().OpenDocument(address.toStdString())
                                                : Shell().OpenAddress(address.toStdString());
  }
  if (!opened) OnOpenError(kOpenFailed);
  return opened;
}

void CHRXHyperLink::OnOpenError(int) {}

// ---- text geometry -----------------------------------------------------------
bool CHRXHyperLink::HasTextStyle() const {
  return pixmap().isNull() && picture().isNull() && movie() == nullptr;
}

bool CHRXHyperLink::IsCursorOverText() const { return IsPointOverText(QCursor::pos()); }

bool CHRXHyperLink::IsPointOverText(const QPoint& globalPos) const {
  if (!HasTextStyle()) return true;
  const int textWidth = QFontMetrics(font()).horizontalAdvance(text());
  const QPoint origin = mapToGlobal(QPoint(0, 0));
  int left = origin.x();
  int right = left + width();
  const Qt::Alignment horizontal = alignment() & Qt::AlignHorizontal_Mask;
  if (horizontal & Qt::AlignHCenter) {
    const int inset = (right - left - textWidth) / 2;
    left += inset;
    right -= inset;
  } else if (horizontal & Qt::AlignRight) {
    left = right - textWidth;
  } else {
    right = left + textWidth;
  }
  const int top = origin.y();
  const int bottom = top + height();
  return globalPos.x() >= left && globalPos.x() < right && globalPos.y() >= top && globalPos.y() < bottom;
}

// ---- events ------------------------------------------------------------------
bool CHRXHyperLink::OnTextClicked(const QPoint& globalPos) {
  if (IsPointOverText(globalPos) && m_openOnClick) {
    m_visited = OpenTarget(nullptr);
    ApplyStateColor();
  }
  if (m_tooltipCreated && m_tooltipActive) QToolTip::hideText();
  return !HasTextStyle();
}

void CHRXHyperLink::OnSetCursor(const QPoint& globalPos) {
  if (m_linkCursor && IsPointOverText(globalPos))
    setCursor(*m_linkCursor);
  else
    unsetCursor();
}

void CHRXHyperLink::OnMouseMove(const QPoint& globalPos) {
  // A running timer is left alone: restarting it on every move would hold
  // the hover colour back for as long as the mouse keeps moving.
  if (HasTextStyle() && IsPointOverText(globalPos) && !m_hoverTimer.isActive())
    m_hoverTimer.start(kHoverTimerMs, this);
}

void CHRXHyperLink::OnTimer() {
  if (!HasTextStyle()) {
    m_hoverTimer.stop();
    return;
  }
  const bool over = IsCursorOverText();
  if (over != m_mouseOver) {
    m_mouseOver = over;
    Repaint();
  }
  if (!m_mouseOver) m_hoverTimer.stop();
}

bool CHRXHyperLink::event(QEvent* event) {
  FollowText();
  return QLabel::event(event);
}

void CHRXHyperLink::mouseMoveEvent(QMouseEvent* event) {
  const QPoint globalPos = event->globalPosition().toPoint();
  OnSetCursor(globalPos);
  OnMouseMove(globalPos);
  QLabel::mouseMoveEvent(event);
}

void CHRXHyperLink::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QLabel::mousePressEvent(event);
    return;
  }
  event->setAccepted(OnTextClicked(event->globalPosition().toPoint()));
}

// The second press of a double click is no new click: it opens nothing.
void CHRXHyperLink::mouseDoubleClickEvent(QMouseEvent* event) { event->ignore(); }

void CHRXHyperLink::timerEvent(QTimerEvent* event) {
  if (event->timerId() == m_hoverTimer.timerId())
    OnTimer();
  else
    QLabel::timerEvent(event);
}
