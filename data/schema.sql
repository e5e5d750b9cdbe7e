-- Schema of the delivered settings database. The program never creates tables; it relies on these.
-- Yes/No fields hold -1 (true) or 0 (false).
CREATE TABLE setting (
    forecolor      INTEGER NOT NULL, -- ticker text colour, 0x00BBGGRR
    fontsize       INTEGER NOT NULL, -- point size, 3 to 18
    startup        INTEGER NOT NULL, -- starts since the last compaction
    autochange     INTEGER NOT NULL, -- slide through the checked targets
    autochangerate INTEGER NOT NULL, -- seconds between slides, 10 to 90
    scroll         INTEGER NOT NULL, -- scroll the new text into view
    scrollrate     INTEGER NOT NULL, -- milliseconds per scroll step, 10 to 100
    "update"       INTEGER NOT NULL, -- bold ticker text
    getTAF         INTEGER NOT NULL,
    getSUNSET      INTEGER NOT NULL,
    uselocal       INTEGER NOT NULL,
    timediff       TEXT    NOT NULL, -- "-23".."-1", " 0", "+1".."+23"
    posX           REAL    NOT NULL, -- ticker left edge in twips, 0 = not placed yet
    posY           REAL    NOT NULL
);

CREATE TABLE airport (
    number  INTEGER NOT NULL, -- 1-based position in the target list
    airport TEXT    NOT NULL, -- ICAO indicator
    "check" INTEGER NOT NULL  -- takes part in the slide rotation
);

CREATE TABLE airportlist (
    number  INTEGER NOT NULL,
    airport TEXT    NOT NULL,
    jpn     TEXT    NOT NULL,
    lat     TEXT    NOT NULL, -- DDMMSS
    lon     TEXT    NOT NULL  -- DDDMMSS
);

-- Addresses of the outside servers, with their scheme.
CREATE TABLE host (
    name TEXT PRIMARY KEY,
    url  TEXT NOT NULL
);

-- Settings of what Tarnbeck adds to the original (the window "拡張設定"), by name.
CREATE TABLE option (
    name  TEXT PRIMARY KEY,
    value TEXT NOT NULL
);
