# Builds the delivered, encrypted settings database from its SQL sources.
# Script mode: cmake -DSQLCIPHER=... -DOUT=... -DSOURCES="a.sql|b.sql" -P MakeDatabase.cmake
cmake_minimum_required(VERSION 3.25)

# One file format for every supported system: SQLCipher 3's, which 3.4 and 4.x both open.
# SQLCipher 4 writes its own format unless told so right after the key; 3.x knows no other.
execute_process(COMMAND "${SQLCIPHER}" :memory: "PRAGMA cipher_version;"
                OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT version MATCHES "^([0-9]+)\\.")
    message(FATAL_ERROR "${SQLCIPHER} does not say its SQLCipher version: '${version}'")
endif()
set(key "PRAGMA key = 'pelko';\n")
if(CMAKE_MATCH_1 GREATER_EQUAL 4)
    string(APPEND key "PRAGMA cipher_compatibility = 3;\n")
endif()

set(script "${key}BEGIN;\n")
string(REPLACE "|" ";" SOURCES "${SOURCES}")
foreach(src IN LISTS SOURCES)
    file(READ "${src}" text)
    string(APPEND script "${text}\n")
endforeach()
string(APPEND script "COMMIT;\n")
file(WRITE "${OUT}.sql" "${script}")

# Build beside the target and rename, so a failed run never leaves half a database.
file(REMOVE "${OUT}.new")
execute_process(COMMAND "${SQLCIPHER}" -bail "${OUT}.new" INPUT_FILE "${OUT}.sql"
                RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    file(REMOVE "${OUT}.new")
    message(FATAL_ERROR "sqlcipher failed building ${OUT}: ${err}")
endif()

# The file must open under the key and hold exactly one settings row. The answer is marked:
# SQLCipher 4's shell prints "ok" after the key.
file(WRITE "${OUT}.check.sql" "${key}SELECT 'rows=' || count(*) FROM setting;\n")
execute_process(COMMAND "${SQLCIPHER}" "${OUT}.new" INPUT_FILE "${OUT}.check.sql"
                OUTPUT_VARIABLE answer OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
file(REMOVE "${OUT}.sql" "${OUT}.check.sql")
if(NOT rc EQUAL 0 OR NOT answer MATCHES "(^|\n)rows=1$")
    file(REMOVE "${OUT}.new")
    message(FATAL_ERROR "${OUT}: expected one setting row, got '${answer}'")
endif()
file(RENAME "${OUT}.new" "${OUT}")
