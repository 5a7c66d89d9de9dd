#include "game/command_router.h"

#include "game/frame_driver.h"

void CommandRouter::Add(UINT id, std::function<void()> run, Rule enabled, Rule checked) {
  m_commands[id] = Command{std::move(run), std::move(enabled), std::move(checked)};
}

bool CommandRouter::IsEnabled(UINT id) const {
  const auto it = m_commands.find(id);
  if (it == m_commands.end()) return false;
  return !it->second.enabled || it->second.enabled();
}

bool CommandRouter::HasCheck(UINT id) const {
  const auto it = m_commands.find(id);
  return it != m_commands.end() && it->second.checked;
}

bool CommandRouter::IsChecked(UINT id) const {
  const auto it = m_commands.find(id);
  return it != m_commands.end() && it->second.checked && it->second.checked();
}

bool CommandRouter::Dispatch(UINT id) {
  if (!IsEnabled(id)) return false;
  const std::function<void()> run = m_commands[id].run;  // a command may replace the table
  ModalGuard guard;
  run();
  return true;
}
