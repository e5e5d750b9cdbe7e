-- The settings and targets a new installation starts with.
INSERT INTO setting (forecolor, fontsize, startup, autochange, autochangerate, scroll, scrollrate,
                     "update", getTAF, getSUNSET, uselocal, timediff, posX, posY)
VALUES (65535, '10', 0, -1, '20', -1, 50, 0, -1, -1, 0, '+9', 0, 0);

INSERT INTO airport (number, airport, "check") VALUES
    (1, 'RJTT', -1),
    (2, 'RJAA', -1),
    (3, 'RJBB', -1),
    (4, 'RJCC', 0),
    (5, 'RJFF', 0),
    (6, 'ROAH', 0);

INSERT INTO host (name, url) VALUES
    ('report', 'https://tgftp.nws.noaa.gov'),
    ('report2', 'https://aviationweather.gov'),
    ('home', 'https://tgftp.nws.noaa.gov'),
    ('programpage', ''),
    ('chart1', ''), ('chart2', ''), ('chart3', ''), ('chart4', ''), ('chart5', ''),
    ('chart6', ''), ('chart7', ''), ('chart8', ''), ('chart9', 'https://weather.yahoo.co.jp'),
    ('camera1', ''), ('camera2', ''), ('camera3', ''), ('camera4', ''), ('camera5', ''),
    ('camera6', ''),
    ('jma', 'https://www.data.jma.go.jp'), ('jmabosai', 'https://www.jma.go.jp');
