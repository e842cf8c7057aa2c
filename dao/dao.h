// The database engine layer: the small object model the component uses to open database files,
// read and rewrite table definitions (local tables and links to tables in other files), run
// statements and walk recordsets.
//
// A database file is an SQLite 3 file, whatever its extension. Table definitions beyond SQLite's
// own schema live in the catalog table MSysTableDefs (created on first need, listed as a system
// table); a row with a non-empty Connect is a linked table whose rows live in another file. That
// catalog is a documented file format: other tools may read and write it.
//
// Statements are written in the classic desktop-database dialect ("DELETE * FROM t",
// "DELETE t.* FROM a INNER JOIN t ON ...", [bracketed names], 'text' with '' for a quote); the
// layer translates the few forms that SQLite does not accept. Linked tables are queryable by
// their local name: the layer attaches the back end read-only on demand.
//
// Errors: every failure throws dao::Error with one of the numbers below and a description in
// plain words. Nothing here shows anything to the user.
//
// Threading: one engine per thread (DBEngine::current()). A Database, its TableDefs and its
// Recordsets belong to the thread that opened them and must not be shared between threads.
#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dao {

// ---------------------------------------------------------------------------------------------
// Errors

// Error numbers callers test for. The numbers are the ones desktop-database code has always
// tested, so procedures written against them read naturally.
enum ErrorNumber : int {
  kErrOverflow = 6,                  // a value does not fit the requested width
  kErrTypeMismatch = 13,             // a value cannot be converted to the requested type
  kErrObjectNotFound = 3011,         // a table definition or a link's source table is missing
  kErrObjectExists = 3012,           // appending an object whose name is taken
  kErrNoCurrentRecord = 3021,        // reading or editing a recordset at EOF or BOF
  kErrFileNotFound = 3024,           // the file does not exist
  kErrFileNotWritable = 3027,        // writing through a read-only open, or to a read-only object
  kErrExclusiveDenied = 3045,        // exclusive use asked while others have the file open
  kErrCannotOpen = 3051,             // no permission, or read-write open of a read-only file
  kErrSyntax = 3075,                 // the statement cannot be parsed
  kErrTableNotFound = 3078,          // a statement names a table or query that does not exist
  kErrUpdateWithoutEdit = 3020,      // Update without AddNew or Edit
  kErrItemNotFound = 3265,           // a collection has no item of that name or index
  kErrNotUpdatable = 3326,           // the recordset cannot be updated (snapshot, expression)
  kErrNotADatabase = 3343,           // the file is not a database, or it is damaged
  kErrExclusivelyLocked = 3356,      // another holder has the file in exclusive use
  kErrInvalidOperation = 3219,       // an operation that does not apply to the object
  kErrTooManyBackEnds = 3048,        // more back ends at once than a statement can reach
  kErrInternal = 3000,               // an unexpected failure of the underlying library
  kErrDuplicateKey = 3022,           // a row would duplicate a primary key or unique index
  kErrNoTransaction = 3034,          // CommitTrans or Rollback without BeginTrans
  kErrDiskIO = 3043,                 // the file could not be read or written (disk or network)
  kErrUnknownField = 3061,           // a statement names a field that does not exist
  kErrInvalidName = 3125,            // an empty or unusable object name
  kErrRecordDeleted = 3167,          // the current row was deleted
  kErrRelatedRecordsExist = 3200,    // a row others refer to cannot be deleted or rekeyed
  kErrRelatedRecordRequired = 3201,  // a row refers to a row that does not exist
  kErrLocked = 3218,                 // another connection holds the file locked for writing
  kErrRequiredField = 3314,          // a Required field was left Null
  kErrObjectInvalid = 3420,          // the object's database has been closed
  kErrUnfinishedChange = 3049,       // an interrupted write left a change only a writer completes
  kErrStatementTooLong = 3035,       // a statement ran past the time a statement may take
};

// The one exception type of the layer.
class Error : public std::exception {
 public:
  Error(int number, std::string description);
  int Number() const noexcept { return number_; }
  const std::string& Description() const noexcept { return description_; }
  const char* what() const noexcept override { return description_.c_str(); }

 private:
  int number_;
  std::string description_;
};

// ---------------------------------------------------------------------------------------------
// Values

// Boolean fields read back as -1 (True) and 0 (False), as desktop-database callers expect.
inline constexpr int kTrue = -1;
inline constexpr int kFalse = 0;

// A field value: Null, a whole number, a real number or text (what SQLite stores).
class Value {
 public:
  enum class Kind { Null, Integer, Real, Text };

  Value() = default;  // Null
  Value(int v) : kind_(Kind::Integer), integer_(v) {}
  Value(long v) : kind_(Kind::Integer), integer_(v) {}
  Value(long long v) : kind_(Kind::Integer), integer_(v) {}
  Value(double v) : kind_(Kind::Real), real_(v) {}
  Value(std::string v) : kind_(Kind::Text), text_(std::move(v)) {}
  Value(const char* v) : kind_(Kind::Text), text_(v) {}
  // A C++ bool is a Boolean: -1 or 0, never 1.
  Value(bool b) : kind_(Kind::Integer), integer_(b ? kTrue : kFalse) {}
  // A Boolean is stored as -1 or 0.
  static Value Boolean(bool b) { return Value(b ? kTrue : kFalse); }

  Kind kind() const { return kind_; }
  bool IsNull() const { return kind_ == Kind::Null; }

  // Conversions. Null converts to "" and 0. Text converts to a number only when it is one
  // (error 13 otherwise). AsInt32 fails with error 6 outside the 32-bit range.
  std::string AsString() const;
  long long AsInt64() const;
  std::int32_t AsInt32() const;
  double AsDouble() const;
  // Non-zero numbers (and text that reads as one) are True.
  bool AsBool() const;

  bool operator==(const Value& other) const;

 private:
  Kind kind_ = Kind::Null;
  long long integer_ = 0;
  double real_ = 0;
  std::string text_;
};

// ---------------------------------------------------------------------------------------------
// Schema objects

// Field types (the codes desktop-database schema code uses).
enum DataType : int {
  dbBoolean = 1,
  dbByte = 2,
  dbInteger = 3,
  dbLong = 4,
  dbCurrency = 5,
  dbSingle = 6,
  dbDouble = 7,
  dbDate = 8,
  dbText = 10,
  dbMemo = 12,
};

// Attribute bits.
inline constexpr long dbAutoIncrField = 16;            // field: the engine numbers new rows
inline constexpr long dbHiddenObject = 1;              // table: hidden from ordinary listings
inline constexpr long dbSystemObject = -2147483646;    // table: engine's own (0x80000002)
inline constexpr long dbRelationUpdateCascade = 256;   // relation: key updates cascade
inline constexpr long dbRelationDeleteCascade = 4096;  // relation: deletes cascade

// Recordset types for OpenRecordset.
inline constexpr int dbOpenDynaset = 2;   // updatable (the default)
inline constexpr int dbOpenSnapshot = 4;  // read-only copy

// A field of a table definition being built.
struct Field {
  std::string Name;
  int Type = dbText;
  long Attributes = 0;           // dbAutoIncrField
  bool AllowZeroLength = false;  // text fields: "" is a legal value
  bool Required = false;         // Null is refused
};

// An index of a table definition being built.
struct Index {
  std::string Name;
  std::vector<std::string> Fields;  // field names, in key order
  bool Primary = false;
  bool Unique = false;
  // Adds a field to the key (the index's CreateField + Fields.Append).
  void AppendField(const std::string& fieldName) { Fields.push_back(fieldName); }
};

// A relation between two tables; its fields pair a key of Table with a field of ForeignTable.
struct Relation {
  std::string Name;
  std::string Table;
  std::string ForeignTable;
  long Attributes = 0;  // dbRelationUpdateCascade | dbRelationDeleteCascade
  struct FieldPair {
    std::string Name;         // field of Table
    std::string ForeignName;  // field of ForeignTable
  };
  std::vector<FieldPair> Fields;
  void AppendField(const std::string& name, const std::string& foreignName) {
    Fields.push_back({name, foreignName});
  }
};

class Database;

// A table definition: a local table, a linked table (Connect not empty) or a system table.
//
// A TableDef made by Database::CreateTableDef is detached: set its properties, add fields and
// indexes (local tables) and append it to TableDefs. A TableDef obtained from TableDefs is
// attached: its getters read what the database holds, and setting Connect or SourceTableName
// writes the catalog at once (call RefreshLink to check the new link).
class TableDef {
 public:
  TableDef();  // an empty, detached definition
  ~TableDef();
  TableDef(const TableDef&);
  TableDef& operator=(const TableDef&);

  std::string Name() const;
  std::string Connect() const;          // ";DATABASE=<path>" for a link, "" for a local table
  std::string SourceTableName() const;  // the table's name in the back end ("" when local)
  long Attributes() const;

  void SetName(const std::string& name);  // detached only (error 3219 otherwise)
  void SetConnect(const std::string& connect);
  void SetSourceTableName(const std::string& name);
  void SetAttributes(long attributes);

  // Building a local table.
  Field CreateField(const std::string& name, int type) const;
  void AppendField(const Field& field);
  Index CreateIndex(const std::string& name) const;
  void AppendIndex(const Index& index);
  const std::vector<Field>& Fields() const;

  // Checks an attached link: its back end must open and hold the source table (3024, 3051,
  // 3343, 3356 for the file; 3011 for the table). Error 3219 for a local table.
  void RefreshLink();

  struct Impl;

 private:
  friend class Database;
  friend class TableDefs;
  explicit TableDef(std::shared_ptr<Impl> impl);
  std::shared_ptr<Impl> impl_;
};

// The table definitions of a database: local tables, linked tables and system tables (names
// beginning "MSys"), in case-insensitive name order. The collection is a snapshot taken at open
// and at Refresh; Append and Delete update it.
class TableDefs {
 public:
  int Count() const;
  TableDef Item(int index) const;                // 0-based; error 3265 when out of range
  TableDef Item(const std::string& name) const;  // case-insensitive; error 3265 when missing
  bool Contains(const std::string& name) const;

  // Appends a detached definition. A linked definition (Connect set) is validated first: the back
  // end must open and hold SourceTableName. A local definition creates its SQLite table with
  // its fields and indexes. Error 3012 when the name is taken.
  void Append(TableDef& def);
  // Removes a definition by name (case-insensitive): a link loses only its catalog row, a local
  // table is dropped with its rows. Error 3265 when missing.
  void Delete(const std::string& name);
  void Refresh();

  std::vector<TableDef>::const_iterator begin() const { return items_.begin(); }
  std::vector<TableDef>::const_iterator end() const { return items_.end(); }

 private:
  friend class Database;
  explicit TableDefs(Database* db) : db_(db) {}
  Database* db_;
  std::vector<TableDef> items_;
};

class Relations {
 public:
  // Creates the relation: rows of ForeignTable must name an existing row of Table, and the
  // cascade bits make deletes and key updates of Table reach ForeignTable. Error 3012 when a
  // relation of that name exists, 3011 when a table or field is missing.
  void Append(const Relation& relation);
  int Count() const;
  Relation Item(int index) const;

 private:
  friend class Database;
  explicit Relations(Database* db) : db_(db) {}
  Database* db_;
};

// ---------------------------------------------------------------------------------------------
// Recordsets

// The rows of a statement, with a current row. Updatable by default when every column comes from
// a base table (a join of two tables can update a column of either: each base row's rowid is
// kept beside the selected columns); type dbOpenSnapshot gives a read-only copy.
//
// Named AtEOF/AtBOF rather than EOF/BOF: EOF is a macro of the C library.
class Recordset {
 public:
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  bool AtEOF() const;
  bool AtBOF() const;
  // The number of rows. Rows are read as the recordset moves over them; RecordCount and
  // MoveLast read the rest. The rows are those of the moment the recordset opened: any change
  // through the same Database (Execute, an edit, another recordset's Update, a transaction's
  // end) first reads the rest of every open recordset.
  long RecordCount() const;

  void MoveFirst();  // error 3021 when there are no rows
  void MoveLast();
  void MoveNext();  // error 3021 when already at EOF
  void MovePrevious();

  // Field values of the current row by column name (case-insensitive). Error 3265 for an
  // unknown name, 3021 without a current row.
  Value Field(const std::string& name) const;
  Value operator[](const std::string& name) const { return Field(name); }
  int FieldCount() const;
  std::string FieldName(int index) const;

  // Editing: AddNew or Edit, then SetField, then Update writes the row (or CancelUpdate).
  // A new row's auto-numbered key is readable after Update (the new row, appended to the
  // recordset, becomes the current row). Error 3027 on a read-only
  // recordset or database, 3326 for a column that does not map to a base table.
  void AddNew();
  void Edit();
  void SetField(const std::string& name, const Value& value);
  void Update();
  void CancelUpdate();
  // Deletes the current row of its base table(s); the recordset stays on the deleted position
  // until the next Move.
  void Delete();

  void Close();

  struct Impl;

 private:
  friend class Database;
  explicit Recordset(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// ---------------------------------------------------------------------------------------------
// Databases

// An open database file. Closing (Close or destruction) releases the file and its locks;
// Close is idempotent.
class Database {
 public:
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  const std::string& Name() const;  // the path it was opened with
  bool ReadOnly() const;
  bool Exclusive() const;

  dao::TableDefs& TableDefs();
  dao::Relations& Relations();
  TableDef CreateTableDef(const std::string& name = "", long attributes = 0,
                          const std::string& sourceTableName = "", const std::string& connect = "");
  Relation CreateRelation(const std::string& name, const std::string& table = "",
                          const std::string& foreignTable = "", long attributes = 0);

  std::unique_ptr<Recordset> OpenRecordset(const std::string& sql, int type = dbOpenDynaset);
  // Checks that a table (local or linked) can be read, without reading any of its rows: a
  // linked table's back end must open and hold its source table. Throws what reading the table
  // would throw (3078 for no such table, 3024, 3356, 3343, 3011 for a link's back end).
  void CheckReadable(const std::string& table);
  // Runs an action statement (DELETE, UPDATE, INSERT, CREATE ...). Error 3027 on a read-only
  // database.
  void Execute(const std::string& sql);
  // Rows changed by the last Execute.
  long RecordsAffected() const;

  // All-or-nothing work. Transactions do not nest; Rollback undoes table definition changes too.
  void BeginTrans();
  void CommitTrans();
  void Rollback();
  bool InTransaction() const;

  void Close();

  struct Impl;
  Impl& impl() { return *impl_; }

 private:
  friend class DBEngine;
  explicit Database(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// The per-thread engine through which every database is opened.
class DBEngine {
 public:
  static DBEngine& current();

  // Opens a database file.
  //   options == kTrue (-1): exclusive use (3045 when others have it open); any other value
  //     (0, or the 4 candidates are opened with) is shared use.
  //   readOnly: no writes (3027 on any write). Read-only opens are used to probe files found on
  //     disk, which are untrusted: SQLite's defensive settings are on, extensions are off, and
  //     nothing is ever written beside the file or deleted, journals included. They never wait
  //     for another process: a file busy with another writer fails with 3218 at once.
  // Errors: 3024 missing file, 3051 no permission or read-write open of a file without write
  // permission bits, 3343 not a database or damaged, 3356 in exclusive use elsewhere, 3049
  // (read-only) an interrupted write left an unfinished change that only a read-write open
  // completes. A FIFO, device or folder named like a database fails with 3343 at once instead
  // of blocking.
  std::unique_ptr<Database> OpenDatabase(const std::string& path, int options = 0,
                                         bool readOnly = false);

  // Opens a file read-only as it stands on disk, for reports: an unfinished change (3049 from
  // OpenDatabase) is neither completed nor rolled back, so rows read may be those of a half
  // written change. Writes and deletes nothing. Errors as for a shared read-only OpenDatabase.
  std::unique_ptr<Database> OpenDatabaseAsItStands(const std::string& path);

  // Creates a new, empty database file (error 3012 when the file exists).
  std::unique_ptr<Database> CreateDatabase(const std::string& path);

 private:
  DBEngine() = default;
};

// Shorthands through the current thread's engine.
inline std::unique_ptr<Database> OpenDatabase(const std::string& path, int options = 0,
                                              bool readOnly = false) {
  return DBEngine::current().OpenDatabase(path, options, readOnly);
}
inline std::unique_ptr<Database> OpenDatabaseAsItStands(const std::string& path) {
  return DBEngine::current().OpenDatabaseAsItStands(path);
}

// Checks that a file could be opened for writing (errors 3024, 3051, 3343 as OpenDatabase would
// give them) without opening it as a database: for a file the user chose to take writes later,
// which must be refused now if it never could, yet must not be written to by the check, since a
// read-write open would complete (and so rewrite) an unfinished change left in it.
void CheckWritableFile(const std::string& path);
inline std::unique_ptr<Database> CreateDatabase(const std::string& path) {
  return DBEngine::current().CreateDatabase(path);
}

// ---------------------------------------------------------------------------------------------
// Fault injection for tests

// When set (per thread), the hook runs before each step that touches a file or changes data:
// operation is one of "open", "append", "delete", "execute", "update", "refreshlink",
// "commit"; subject is the path or object name. A hook that throws dao::Error makes that step
// fail exactly as a real failure would. Pass nullptr to remove it.
using FaultHook = std::function<void(std::string_view operation, std::string_view subject)>;
void SetFaultHook(FaultHook hook);

// The longest any one statement may run on this thread before it is stopped with error 3035
// (a file may hold a trigger or query that never ends). Five seconds unless set; tests shorten it.
void SetStatementTimeLimit(std::chrono::milliseconds limit);

// ---------------------------------------------------------------------------------------------
// Statement text helpers

// 'text' with every ' doubled, ready to stand in a statement.
std::string QuoteText(std::string_view text);
// [name] with every ] doubled, ready to stand as an identifier.
std::string BracketName(std::string_view name);

}  // namespace dao
