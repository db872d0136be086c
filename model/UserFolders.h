#pragma once

#include <string>

namespace stelmar {

// The per-user folder of settings.ini and reopen.ini:
// $XDG_CONFIG_HOME/stelmar/ when XDG_CONFIG_HOME is an absolute path, else
// $HOME/.config/stelmar/ (created with its missing parents, mode 0700),
// with a trailing separator.
std::string ConfigFolder();

// The folder of recovery copies: $XDG_STATE_HOME/stelmar/recovery/ when
// XDG_STATE_HOME is an absolute path, else $HOME/.local/state/stelmar/recovery/
// (not created here), with a trailing separator.
std::string RecoveryFolder();

// A private per-user folder for temporary files such as the calculation
// report, with a trailing separator: $XDG_RUNTIME_DIR/stelmar/ when that
// variable names an existing absolute folder, else stelmar-<uid>/ in $TMPDIR
// or /tmp. The folder is created with mode 0700; an existing one is used
// only when it is a real folder (not a symbolic link) owned by the user and
// closed to group and others, so that nobody else can plant or read files
// in it. Otherwise the first of stelmar-<uid>-1 … stelmar-<uid>-100 beside it
// that is or can be made such a folder is used, or ConfigFolder() when none
// can.
std::string TempFolder();

}  // namespace stelmar
