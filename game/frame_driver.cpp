// Sections: modal guard - driver - Qt pacing
#include "game/frame_driver.h"

#include <QTimer>

#include "game/puzzle_game.h"

// ---- modal guard -----------------------------------------------------------------------
namespace {
int g_modalDepth = 0;
}

ModalGuard::ModalGuard() { ++g_modalDepth; }
ModalGuard::~ModalGuard() { --g_modalDepth; }
bool ModalGuard::Active() { return g_modalDepth > 0; }

// ---- driver -----------------------------------------------------------------------------
FrameDriver::FrameDriver(CPuzzleGame& game, Hooks hooks) : m_game(game), m_hooks(std::move(hooks)) {}
FrameDriver::~FrameDriver() = default;

bool FrameDriver::CanRunFrame() const {
  if (!m_started || m_inFrame || ModalGuard::Active()) return false;
  return !(m_hooks.uiBusy && m_hooks.uiBusy());
}

bool FrameDriver::Turn() {
  if (m_inFrame || ModalGuard::Active() || (m_hooks.uiBusy && m_hooks.uiBusy())) return false;
  bool ran = false;
  if (m_started) {
    if (m_hooks.isMinimized && m_hooks.isMinimized()) {
      m_wasMinimized = true;
      m_game.PauseForMinimise();
    } else {
      if (m_wasMinimized) {
        m_wasMinimized = false;
        m_game.ResumeAfterMinimise();
      }
      m_inFrame = true;
      m_game.RunFrame();
      m_inFrame = false;
      ran = true;
    }
  }
  DrainPosted();
  return ran;
}

void FrameDriver::Repaint() {
  // Also behind a dialog; never inside a frame.
  if (!m_started || m_inFrame || (m_hooks.isMinimized && m_hooks.isMinimized())) return;
  m_inFrame = true;
  m_game.Render();
  m_inFrame = false;
}

void FrameDriver::DrainPosted() {
  // Commands posted by these commands wait for the next turn.
  std::deque<UINT> batch;
  batch.swap(m_posted);
  for (UINT id : batch)
    if (m_hooks.dispatch) m_hooks.dispatch(id);
}

// ---- Qt pacing ----------------------------------------------------------------------------
void FrameDriver::StartTimer() {
  if (m_timer) return;
  m_timer = std::make_unique<QTimer>();
  m_timer->setInterval(0);
  QObject::connect(m_timer.get(), &QTimer::timeout, [this] {
    const bool ran = Turn();
    // No busy loop while nothing can be drawn.
    m_timer->setInterval(ran || m_inFrame ? 0 : 15);
  });
  m_timer->start();
}
