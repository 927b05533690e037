// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Thin RAII access to SQLite for the spatial database: a connection that closes itself, prepared
// statements that finalize themselves, and a transaction that rolls back unless committed. Every
// failure throws TGSqlError with the text "PATH: what: SQLite's message".

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace umbrivista {

class TGSqlError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// "PATH: what: reason". The reason is SQLite's message for the last failure on `db` (for `rc`
// when `db` is null), followed by the system's reason in parentheses when the failure was one of
// opening or reading the file ("unable to open database file (No such file or directory)").
std::string SqlErrorText(const std::string& path, std::string_view what, sqlite3* db, int rc);

class TGSqlConnection {
 public:
  TGSqlConnection() = default;
  // Opens the file with sqlite3_open_v2 flags; throws "PATH: what: reason" when that fails.
  TGSqlConnection(const std::string& path, int flags, std::string_view what);
  // Closes the connection; a failure to close is logged.
  ~TGSqlConnection();
  TGSqlConnection(TGSqlConnection&& other) noexcept;
  TGSqlConnection& operator=(TGSqlConnection&& other) noexcept;
  TGSqlConnection(const TGSqlConnection&) = delete;
  TGSqlConnection& operator=(const TGSqlConnection&) = delete;

  sqlite3* Handle() const { return db_; }
  const std::string& Path() const { return path_; }
  explicit operator bool() const { return db_ != nullptr; }

  // True when the file could only be opened for reading.
  bool FileReadOnly() const;
  // True while a transaction is open.
  bool InTransaction() const;
  // Runs one or more statements that return nothing of interest.
  void Exec(const std::string& sql, std::string_view what) const;
  // Throws "PATH: what: SQLite's message" for the connection's last failure.
  [[noreturn]] void Fail(std::string_view what) const;
  [[noreturn]] void Fail(std::string_view what, int rc) const;
  std::int64_t LastInsertRowId() const;
  int Changes() const;
  // Closes now; throws when SQLite refuses (statements still open).
  void Close();

 private:
  sqlite3* db_ = nullptr;
  std::string path_;
};

// A prepared statement. Bind and step throw on failure; a statement that stepped to its end is
// reset by Step, one left earlier is reset by a TGSqlReset guard (or by Reset), so that no read
// lock stays on the file between uses.
class TGSqlStatement {
 public:
  TGSqlStatement() = default;
  // Prepares `sql`; `persistent` for statements kept for many uses.
  TGSqlStatement(const TGSqlConnection& db, const std::string& sql, bool persistent = false);
  ~TGSqlStatement();
  TGSqlStatement(TGSqlStatement&& other) noexcept;
  TGSqlStatement& operator=(TGSqlStatement&& other) noexcept;
  TGSqlStatement(const TGSqlStatement&) = delete;
  TGSqlStatement& operator=(const TGSqlStatement&) = delete;

  explicit operator bool() const { return st_ != nullptr; }

  // Parameters are numbered from 1; text and blobs are copied.
  TGSqlStatement& Bind(int index, std::int32_t value);
  TGSqlStatement& Bind(int index, std::int64_t value);
  TGSqlStatement& Bind(int index, std::string_view text);
  TGSqlStatement& BindBlob(int index, std::span<const unsigned char> bytes);
  TGSqlStatement& BindNull(int index);

  // True with a row to read, false at the end (the statement is then reset); throws on failure
  // (after resetting the statement).
  bool Step(std::string_view what);
  // Steps a statement that returns no rows.
  void Run(std::string_view what);
  // Makes the statement ready for another use.
  void Reset();

  int ColumnType(int column) const;
  std::int32_t ColumnInt(int column) const;
  std::int64_t ColumnInt64(int column) const;
  std::string_view ColumnText(int column) const;
  std::span<const unsigned char> ColumnBlob(int column) const;

 private:
  void Finalize() noexcept;
  void CheckBind(int rc, int index);

  sqlite3_stmt* st_ = nullptr;
  const TGSqlConnection* db_ = nullptr;
};

// Resets a statement when the scope ends, also when it ends by an exception.
class TGSqlReset {
 public:
  explicit TGSqlReset(TGSqlStatement& statement) : statement_(statement) {}
  ~TGSqlReset();
  TGSqlReset(const TGSqlReset&) = delete;
  TGSqlReset& operator=(const TGSqlReset&) = delete;

 private:
  TGSqlStatement& statement_;
};

// A transaction around a group of writes, unless one is open already (then the writes join it).
// Rolled back when the scope ends without Commit.
class TGSqlTransaction {
 public:
  explicit TGSqlTransaction(const TGSqlConnection& db);
  ~TGSqlTransaction();
  TGSqlTransaction(const TGSqlTransaction&) = delete;
  TGSqlTransaction& operator=(const TGSqlTransaction&) = delete;
  void Commit();

 private:
  const TGSqlConnection& db_;
  bool own_ = false;
};

}  // namespace umbrivista
