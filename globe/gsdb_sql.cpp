// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gsdb_sql.h"

#include <sqlite3.h>

#include <QtGlobal>
#include <cstring>
#include <utility>

namespace umbrivista {

std::string SqlErrorText(const std::string& path, std::string_view what, sqlite3* db, int rc) {
  std::string text = path;
  text += ": ";
  text += what;
  text += ": ";
  text += db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
  const int primary = (db ? sqlite3_errcode(db) : rc) & 0xFF;
  const int error = db ? sqlite3_system_errno(db) : 0;
  if (error != 0 && (primary == SQLITE_CANTOPEN || primary == SQLITE_IOERR))
    text += std::string(" (") + std::strerror(error) + ")";
  return text;
}

// ---------------------------------------------------------------------------------------------
// TGSqlConnection

TGSqlConnection::TGSqlConnection(const std::string& path, int flags, std::string_view what)
    : path_(path) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = SqlErrorText(path, what, db, rc);
    sqlite3_close(db);  // a handle of a failed open has nothing that could keep it open
    throw TGSqlError(message);
  }
  // Extended codes let the error text tell a short read from other input failures.
  if (sqlite3_extended_result_codes(db, 1) != SQLITE_OK) {
    const std::string message = SqlErrorText(path, what, db, SQLITE_ERROR);
    sqlite3_close(db);
    throw TGSqlError(message);
  }
  db_ = db;
}

TGSqlConnection::~TGSqlConnection() {
  if (!db_) return;
  if (sqlite3_close(db_) != SQLITE_OK)
    qWarning("%s: the spatial database was not closed: %s", path_.c_str(), sqlite3_errmsg(db_));
}

TGSqlConnection::TGSqlConnection(TGSqlConnection&& other) noexcept
    : db_(std::exchange(other.db_, nullptr)), path_(std::move(other.path_)) {}

TGSqlConnection& TGSqlConnection::operator=(TGSqlConnection&& other) noexcept {
  if (this != &other) {
    TGSqlConnection old(std::move(*this));
    db_ = std::exchange(other.db_, nullptr);
    path_ = std::move(other.path_);
  }
  return *this;
}

bool TGSqlConnection::FileReadOnly() const {
  return sqlite3_db_readonly(db_, "main") == 1;
}

bool TGSqlConnection::InTransaction() const {
  return sqlite3_get_autocommit(db_) == 0;
}

void TGSqlConnection::Exec(const std::string& sql, std::string_view what) const {
  char* error = nullptr;
  const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error);
  if (rc == SQLITE_OK) return;
  std::string message = path_ + ": " + std::string(what) + ": ";
  message += error ? error : sqlite3_errmsg(db_);
  sqlite3_free(error);
  throw TGSqlError(message);
}

void TGSqlConnection::Fail(std::string_view what) const {
  throw TGSqlError(SqlErrorText(path_, what, db_, SQLITE_ERROR));
}

void TGSqlConnection::Fail(std::string_view what, int rc) const {
  // The connection's message belongs to the last failed call; a code without one (a misuse
  // reported by the call itself) is spelled out instead.
  if (db_ && (sqlite3_errcode(db_) & 0xFF) == (rc & 0xFF)) Fail(what);
  throw TGSqlError(SqlErrorText(path_, what, nullptr, rc));
}

std::int64_t TGSqlConnection::LastInsertRowId() const {
  return sqlite3_last_insert_rowid(db_);
}

int TGSqlConnection::Changes() const {
  return sqlite3_changes(db_);
}

void TGSqlConnection::Close() {
  if (!db_) return;
  if (sqlite3_close(db_) != SQLITE_OK) Fail("cannot close the spatial database");
  db_ = nullptr;
}

// ---------------------------------------------------------------------------------------------
// TGSqlStatement

TGSqlStatement::TGSqlStatement(const TGSqlConnection& db, const std::string& sql, bool persistent)
    : db_(&db) {
  const int rc = sqlite3_prepare_v3(db.Handle(), sql.c_str(), -1,
                                    persistent ? SQLITE_PREPARE_PERSISTENT : 0, &st_, nullptr);
  if (rc != SQLITE_OK) {
    Finalize();
    db.Fail("cannot prepare \"" + sql + "\"", rc);
  }
}

TGSqlStatement::~TGSqlStatement() {
  Finalize();
}

void TGSqlStatement::Finalize() noexcept {
  // sqlite3_finalize repeats the error of the statement's last step, which was reported then.
  if (st_) sqlite3_finalize(st_);
  st_ = nullptr;
}

TGSqlStatement::TGSqlStatement(TGSqlStatement&& other) noexcept
    : st_(std::exchange(other.st_, nullptr)), db_(other.db_) {}

TGSqlStatement& TGSqlStatement::operator=(TGSqlStatement&& other) noexcept {
  if (this != &other) {
    Finalize();
    st_ = std::exchange(other.st_, nullptr);
    db_ = other.db_;
  }
  return *this;
}

void TGSqlStatement::CheckBind(int rc, int index) {
  if (rc != SQLITE_OK) db_->Fail("cannot bind parameter " + std::to_string(index), rc);
}

TGSqlStatement& TGSqlStatement::Bind(int index, std::int32_t value) {
  CheckBind(sqlite3_bind_int(st_, index, value), index);
  return *this;
}

TGSqlStatement& TGSqlStatement::Bind(int index, std::int64_t value) {
  CheckBind(sqlite3_bind_int64(st_, index, value), index);
  return *this;
}

TGSqlStatement& TGSqlStatement::Bind(int index, std::string_view text) {
  CheckBind(
      sqlite3_bind_text64(st_, index, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8),
      index);
  return *this;
}

TGSqlStatement& TGSqlStatement::BindBlob(int index, std::span<const unsigned char> bytes) {
  // A zero-length blob is still a blob, not NULL.
  static const unsigned char kNone = 0;
  CheckBind(sqlite3_bind_blob64(st_, index, bytes.empty() ? &kNone : bytes.data(), bytes.size(),
                                SQLITE_TRANSIENT),
            index);
  return *this;
}

TGSqlStatement& TGSqlStatement::BindNull(int index) {
  CheckBind(sqlite3_bind_null(st_, index), index);
  return *this;
}

bool TGSqlStatement::Step(std::string_view what) {
  const int rc = sqlite3_step(st_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) {
    Reset();
    return false;
  }
  const std::string message = SqlErrorText(db_->Path(), what, db_->Handle(), rc);
  // The reset reports the same failure again.
  sqlite3_reset(st_);
  throw TGSqlError(message);
}

void TGSqlStatement::Run(std::string_view what) {
  if (Step(what)) {
    Reset();
    throw TGSqlError(db_->Path() + ": " + std::string(what) + ": the statement returned a row");
  }
}

void TGSqlStatement::Reset() {
  const int rc = sqlite3_reset(st_);
  if (rc != SQLITE_OK) db_->Fail("cannot reset a statement", rc);
}

int TGSqlStatement::ColumnType(int column) const {
  return sqlite3_column_type(st_, column);
}

std::int32_t TGSqlStatement::ColumnInt(int column) const {
  return sqlite3_column_int(st_, column);
}

std::int64_t TGSqlStatement::ColumnInt64(int column) const {
  return sqlite3_column_int64(st_, column);
}

std::string_view TGSqlStatement::ColumnText(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(st_, column));
  if (!text) return {};
  return {text, static_cast<std::size_t>(sqlite3_column_bytes(st_, column))};
}

std::span<const unsigned char> TGSqlStatement::ColumnBlob(int column) const {
  const auto* bytes = static_cast<const unsigned char*>(sqlite3_column_blob(st_, column));
  if (!bytes) return {};
  return {bytes, static_cast<std::size_t>(sqlite3_column_bytes(st_, column))};
}

TGSqlReset::~TGSqlReset() {
  try {
    statement_.Reset();
  } catch (const std::exception& e) {
    qWarning("%s", e.what());
  }
}

// ---------------------------------------------------------------------------------------------
// TGSqlTransaction

TGSqlTransaction::TGSqlTransaction(const TGSqlConnection& db) : db_(db) {
  if (!db_.InTransaction()) {
    db_.Exec("BEGIN", "cannot begin a transaction");
    own_ = true;
  }
}

TGSqlTransaction::~TGSqlTransaction() {
  if (!own_) return;
  try {
    db_.Exec("ROLLBACK", "cannot roll back a transaction");
  } catch (const std::exception& e) {
    qWarning("%s", e.what());
  }
}

void TGSqlTransaction::Commit() {
  if (!own_) return;
  db_.Exec("COMMIT", "cannot commit a transaction");
  own_ = false;
}

}  // namespace umbrivista
