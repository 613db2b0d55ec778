#pragma once

// The SQL family the schema's statements are written in for an engine: PostgreSql is
// standard SQL, as every server but MariaDB (and MySQL) is addressed. Everything else
// in which engines differ is their back end's (CDatabaseBackEnd).
enum class SqlDialect { Sqlite, PostgreSql, MariaDb };
