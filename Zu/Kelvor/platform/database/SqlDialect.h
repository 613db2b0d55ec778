#pragma once

// The SQL a practice database speaks where the engines differ: its DDL, its row
// limit, its session settings. PostgreSql is standard SQL, as every other server
// is addressed; MariaDb covers MySQL as well.
enum class SqlDialect { Sqlite, PostgreSql, MariaDb };
