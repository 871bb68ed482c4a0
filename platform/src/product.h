// The product's name as the layer writes it into per-user folders, files,
// sockets and mutexes. Every such name the layer makes starts here.
#pragma once

namespace plat::product {

// The environment variable that puts every per-user folder under one folder.
inline constexpr char kHomeVariable[] = "SONREL_HOME";
// The runtime folder under $XDG_RUNTIME_DIR; the /tmp fallback is
// "/tmp/<kRuntimeFolder>-<uid>".
inline constexpr char kRuntimeFolder[] = "sonrel";
// The last runtime fallback, under ~/.cache.
inline constexpr char kRuntimeCacheFolder[] = "sonrel-runtime";
// The configuration folder under $XDG_CONFIG_HOME or ~/.config, and the data
// folder under $XDG_DATA_HOME or ~/.local/share.
inline constexpr char kConfigFolder[] = "Sonrel";
// The settings file of profile calls that name none.
inline constexpr char kDefaultIniFile[] = "Sonrel.ini";
// The program name Qt is given when the layer starts without arguments, and
// the single-instance name when the caller gives none.
inline constexpr char kProgramName[] = "sonrel";
// The named mutex that guards the single-instance check is this prefix
// followed by the instance name.
inline constexpr char kInstanceGuardPrefix[] = "SnrInstance_";

}  // namespace plat::product
