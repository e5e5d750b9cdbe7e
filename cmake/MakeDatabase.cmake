# Builds the delivered, encrypted settings database from its SQL sources.
# Script mode: cmake -DSQLCIPHER=... -DOUT=... -DSOURCES="a.sql|b.sql" -P MakeDatabase.cmake
cmake_minimum_required(VERSION 3.25)
set(script "PRAGMA key = 'pelko';\nBEGIN;\n")
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

# The file must open under the key and hold exactly one settings row.
file(WRITE "${OUT}.check.sql" "PRAGMA key = 'pelko';\nSELECT count(*) FROM setting;\n")
execute_process(COMMAND "${SQLCIPHER}" "${OUT}.new" INPUT_FILE "${OUT}.check.sql"
                OUTPUT_VARIABLE rows OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE rc)
file(REMOVE "${OUT}.sql" "${OUT}.check.sql")
if(NOT rc EQUAL 0 OR NOT rows STREQUAL "1")
    file(REMOVE "${OUT}.new")
    message(FATAL_ERROR "${OUT}: expected one setting row, got '${rows}'")
endif()
file(RENAME "${OUT}.new" "${OUT}")
