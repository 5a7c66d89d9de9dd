#pragma once
// The one way to run a menu command, whatever its source (menu, accelerator,
// posted by a screen, the icon bar or a dialog): the command's enable rule
// decides, and a disabled command does nothing. Each command runs inside a
// ModalGuard, so no frame starts while its dialog or box is open.
#include <functional>
#include <map>

#include "platform/win_types.h"

class CommandRouter {
 public:
  using Rule = std::function<bool()>;

  // A rule left empty: always enabled / no check mark.
  void Add(UINT id, std::function<void()> run, Rule enabled = {}, Rule checked = {});
  bool Has(UINT id) const { return m_commands.count(id) != 0; }
  bool IsEnabled(UINT id) const;
  bool HasCheck(UINT id) const;
  bool IsChecked(UINT id) const;
  // Runs a known, enabled command; false when nothing ran.
  bool Dispatch(UINT id);

 private:
  struct Command {
    std::function<void()> run;
    Rule enabled;
    Rule checked;
  };
  std::map<UINT, Command> m_commands;
};
