// Reader of the client's two configuration files, "LUNQCli.ini" (server entries) and
// "rimqapi.ini" (queue managers), with their own rules rather than the profile-file ones: all
// spaces and tabs vanish (also inside values), byte 7 is a line break, every "[" starts a section
// wherever it stands, sections and keys are found as the first occurrence of their text
// (case-sensitive, a key also inside a longer key name). Files are opened by bare name, so they
// are looked for in the process's current folder, and read anew for every lookup.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "veltcli.h"

namespace velt::config {

inline constexpr const char* kClientFile = "LUNQCli.ini";
inline constexpr const char* kQueueManagerFile = "rimqapi.ini";
inline constexpr int kMaxServerEntries = 16;

// The whole file as the reader sees it. False when it cannot be opened, is empty, or memory for
// its contents cannot be had. Lines end in "\n" whether the file was written with "\r\n" or "\n".
bool LoadConfigText(const char* file, std::string& text);

// Text operations. `capacity` counts the terminator: at most capacity - 1 characters are kept,
// and `out` is emptied first (when capacity > 0). True when the value was found.
bool SectionNameIn(std::string_view text, int k, char* out, std::size_t capacity);
bool KeyValueIn(std::string_view text, const char* section, const char* key, char* out, std::size_t capacity);
// Value of `key` in the first of "QMgr", "QMgr1", "QMgr2", ... whose "QMgrName" is `manager`
// (case-sensitive); the search ends at the first missing section.
bool QueueManagerValueIn(std::string_view text, const char* manager, const char* key, char* out,
                         std::size_t capacity);

// The same on a file: 0 when found, -1 otherwise.
int ReadSectionName(const char* file, int k, char* out, std::size_t capacity);
int ReadKeyValue(const char* file, const char* section, const char* key, char* out, std::size_t capacity);
int ReadQueueManagerValue(const char* file, const char* manager, const char* key, char* out,
                          std::size_t capacity);
int ReadQueueManagerInt(const char* file, const char* manager, const char* key, int* out);

// The entry for client-file section `section`: 0, or -1 no "RIMQQManager", -2 "RequestQ2" without
// "AnswerQ2", -3 neither request queue key, -4 "RequestQName" without "AnswerQName", -5 no
// "QMgrIp", -6 no "QMgrPort" for that manager.
int BuildServerEntry(std::string_view clientText, std::string_view managerText, const char* section,
                     tagVELTConnectOptionEx* entry);

// Loads, from the two files in the current folder, up to 16 entries whose section name or group
// equals `name` ignoring case, in file order; the scan stops at the first section that fails to
// build. All 16 slots are cleared first. Returns the number of entries loaded (0 = load failed).
int LoadServerList(const char* name, tagVELTConnectOptionEx (&slots)[kMaxServerEntries]);

}  // namespace velt::config
