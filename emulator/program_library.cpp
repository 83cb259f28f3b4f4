// The host table of veltemu_program.h over Request and Answer, and the loading of program
// libraries through the platform's dynamic loading. No exception crosses into a library's code.
#include "program_library.h"

#include <deque>
#include <new>
#include <stdexcept>

#include "answer.h"
#include "platform/dynamic_library.h"
#include "request.h"
#include "veltemu_program.h"

// The opaque records of the contract: a request with the texts handed out during one call, and
// an answer that remembers a failed allocation.
struct VELTEMU_Request {
  const veltemu::Request* request;
  mutable std::deque<std::string> kept;   // values built for the call (decoded binary values)
};

struct VELTEMU_Answer {
  veltemu::Answer* answer;
  bool outOfMemory = false;
};

namespace veltemu {
namespace {

// The host table and the sink of the library being registered (set only during its entry).
struct HostBlock {
  VELTEMU_Host host;
  const ProgramSink* sink;
};

const RequestTable* Table(const VELTEMU_Request* r, int table) {
  if (r == nullptr || table < 1 || static_cast<std::size_t>(table) > r->request->tables().size()) return nullptr;
  return &r->request->tables()[static_cast<std::size_t>(table) - 1];
}

// Runs an answer function, turning a failed allocation into its code.
template <typename F>
int Guarded(VELTEMU_Answer* a, F&& body) noexcept {
  if (a == nullptr) return VELTEMU_ERR_ARGUMENT;
  try {
    return body(*a->answer);
  } catch (...) {
    a->outOfMemory = true;
    return VELTEMU_ERR_MEMORY;
  }
}

int Register(const VELTEMU_Host* host, const char* name, VELTEMU_ProgramFunc program, void* context) noexcept {
  const auto* block = reinterpret_cast<const HostBlock*>(host);
  if (block == nullptr || block->sink == nullptr || name == nullptr || name[0] == '\0' || program == nullptr)
    return VELTEMU_ERR_ARGUMENT;
  try {
    (*block->sink)(name, [program, context](const Request& request, Answer& answer) {
      VELTEMU_Request r{&request, {}};
      VELTEMU_Answer a{&answer};
      program(context, &r, &a);
      if (a.outOfMemory) throw std::bad_alloc();   // the dispatcher answers 7013
    });
    return VELTEMU_OK;
  } catch (...) {
    return VELTEMU_ERR_MEMORY;
  }
}

const char* Value(const VELTEMU_Request* r, const char* name, size_t* length) noexcept {
  if (r == nullptr || name == nullptr) return nullptr;
  try {
    auto& kept = r->kept;
    std::optional<std::string> v = r->request->Binary(name);
    if (!v) v = r->request->Value(name);
    if (!v) return nullptr;
    kept.push_back(std::move(*v));
    if (length != nullptr) *length = kept.back().size();
    return kept.back().c_str();
  } catch (...) {
    return nullptr;
  }
}

int ValueCount(const VELTEMU_Request* r) noexcept {
  return r == nullptr ? 0 : static_cast<int>(r->request->values().size());
}

const char* ValueName(const VELTEMU_Request* r, int index) noexcept {
  if (r == nullptr || index < 1 || static_cast<std::size_t>(index) > r->request->values().size()) return nullptr;
  return r->request->values()[static_cast<std::size_t>(index) - 1].name.c_str();
}

const char* ServiceId(const VELTEMU_Request* r) noexcept {
  if (r == nullptr) return nullptr;
  const char* id = Value(r, "_VeltServiceID_", nullptr);
  return id == nullptr ? "" : id;
}

const char* HeaderProgram(const VELTEMU_Request* r) noexcept {
  return r == nullptr ? nullptr : r->request->header().program;
}

int Session(const VELTEMU_Request* r) noexcept { return r == nullptr ? 0 : r->request->session(); }

const char* TransactionId(const VELTEMU_Request* r) noexcept {
  return r == nullptr ? nullptr : r->request->header().transactionId;
}

int TableCount(const VELTEMU_Request* r) noexcept {
  return r == nullptr ? 0 : static_cast<int>(r->request->tables().size());
}

const char* TableCursor(const VELTEMU_Request* r, int table) noexcept {
  const RequestTable* t = Table(r, table);
  return t == nullptr ? nullptr : t->cursor.c_str();
}

int TableColumnCount(const VELTEMU_Request* r, int table) noexcept {
  const RequestTable* t = Table(r, table);
  return t == nullptr ? 0 : t->columnCount;
}

const char* TableColumnName(const VELTEMU_Request* r, int table, int column) noexcept {
  const RequestTable* t = Table(r, table);
  if (t == nullptr || column < 1 || static_cast<std::size_t>(column) > t->columns.size()) return nullptr;
  return t->columns[static_cast<std::size_t>(column) - 1].c_str();
}

int TableRowCount(const VELTEMU_Request* r, int table) noexcept {
  const RequestTable* t = Table(r, table);
  return t == nullptr ? 0 : static_cast<int>(t->rows.size());
}

const char* TableCell(const VELTEMU_Request* r, int table, int row, int column) noexcept {
  const RequestTable* t = Table(r, table);
  if (t == nullptr || row < 1 || static_cast<std::size_t>(row) > t->rows.size() || column < 1 ||
      column > t->columnCount)
    return nullptr;
  const auto& cells = t->rows[static_cast<std::size_t>(row) - 1];
  return static_cast<std::size_t>(column) > cells.size() ? "" : cells[static_cast<std::size_t>(column) - 1].c_str();
}

int SetValue(VELTEMU_Answer* a, const char* name, const char* value) noexcept {
  if (name == nullptr || name[0] == '\0' || value == nullptr) return VELTEMU_ERR_ARGUMENT;
  return Guarded(a, [&](Answer& answer) {
    answer.SetValue(name, value);
    return answer.overflowed() ? VELTEMU_ERR_MEMORY : VELTEMU_OK;
  });
}

int SetBinary(VELTEMU_Answer* a, const char* name, const void* data, size_t length) noexcept {
  if (name == nullptr || name[0] == '\0' || (data == nullptr && length > 0)) return VELTEMU_ERR_ARGUMENT;
  return Guarded(a, [&](Answer& answer) {
    answer.SetBinary(name, std::string_view(static_cast<const char*>(data), length));
    return answer.overflowed() ? VELTEMU_ERR_MEMORY : VELTEMU_OK;
  });
}

int BeginTable(VELTEMU_Answer* a, const char* cursor, int columns, const char* const* names) noexcept {
  if (cursor == nullptr || columns < 1 || names == nullptr) return VELTEMU_ERR_ARGUMENT;
  for (int i = 0; i < columns; ++i)
    if (names[i] == nullptr) return VELTEMU_ERR_ARGUMENT;
  return Guarded(a, [&](Answer& answer) {
    const int table = answer.BeginTable(cursor, std::vector<std::string>(names, names + columns));
    return answer.overflowed() ? VELTEMU_ERR_MEMORY : table;
  });
}

int AddRow(VELTEMU_Answer* a, const char* const* cells, int count) noexcept {
  if (count < 0 || (cells == nullptr && count > 0)) return VELTEMU_ERR_ARGUMENT;
  for (int i = 0; i < count; ++i)
    if (cells[i] == nullptr) return VELTEMU_ERR_ARGUMENT;
  return Guarded(a, [&](Answer& answer) {
    const int row = answer.AddRow(std::vector<std::string>(cells, cells + count));
    if (answer.overflowed()) return VELTEMU_ERR_MEMORY;
    return row == 0 ? VELTEMU_ERR_ARGUMENT : row;   // 0: no table begun
  });
}

int SetStatus(VELTEMU_Answer* a, int status) noexcept {
  return Guarded(a, [&](Answer& answer) {
    answer.SetStatus(status);
    return VELTEMU_OK;
  });
}

int SetError(VELTEMU_Answer* a, int status, const char* message) noexcept {
  return Guarded(a, [&](Answer& answer) {
    answer.SetError(status, message == nullptr ? "" : message);
    return VELTEMU_OK;
  });
}

VELTEMU_Host HostTable() {
  return VELTEMU_Host{VELTEMU_HOST_VERSION, static_cast<int>(sizeof(VELTEMU_Host)),
                      Register, Value, ValueCount, ValueName, ServiceId, HeaderProgram, Session, TransactionId,
                      TableCount, TableCursor, TableColumnCount, TableColumnName, TableRowCount, TableCell,
                      SetValue, SetBinary, BeginTable, AddRow, SetStatus, SetError};
}

}  // namespace

struct ProgramLibraries::Loaded {
  HostBlock block{HostTable(), nullptr};
  velt::platform::LibraryHandle library = nullptr;
  ~Loaded() { velt::platform::CloseLibrary(library); }
};

ProgramLibraries::ProgramLibraries() = default;
ProgramLibraries::~ProgramLibraries() = default;

bool ProgramLibraries::Load(const std::string& path, const ProgramSink& sink, std::string& error) {
  auto loaded = std::make_unique<Loaded>();
  loaded->library = velt::platform::OpenLibrary(path.c_str());
  if (loaded->library == nullptr) {
    error = "cannot load program library '" + path + "': " + velt::platform::LibraryError();
    return false;
  }
  auto entry = reinterpret_cast<VELTEMU_RegisterProgramsFunc>(
      velt::platform::LibrarySymbol(loaded->library, VELTEMU_ENTRY_NAME));
  if (entry == nullptr) {
    error = "program library '" + path + "' does not export " VELTEMU_ENTRY_NAME;
    return false;
  }
  loaded->block.sink = &sink;
  const int result = entry(&loaded->block.host);
  loaded->block.sink = nullptr;
  // Even a refusing library may have registered programs: it stays loaded with the others.
  loaded_.push_back(std::move(loaded));
  if (result != 0) {
    error = "program library '" + path + "': " VELTEMU_ENTRY_NAME " returned " + std::to_string(result);
    return false;
  }
  return true;
}

bool SplitProgramList(const std::string& list, std::vector<std::string>& paths) {
  paths.clear();
  std::size_t from = 0;
  while (true) {
    const std::size_t at = list.find(',', from);
    std::string item = list.substr(from, at == std::string::npos ? std::string::npos : at - from);
    if (item.empty()) return false;
    paths.push_back(std::move(item));
    if (at == std::string::npos) return true;
    from = at + 1;
  }
}

}  // namespace veltemu
