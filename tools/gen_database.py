#!/usr/bin/env python3
"""Writes the installation data of NorvixSim from its readable source.

    python3 tools/gen_database.py [--out DIR]     (default DIR: data/)

The source lives in tools/gamedata/, written in UTF-8:

  units.md, medals.md, technologies.md, officers.md, rapidfire.md
      Tables with one row per line between '|' characters; the first table
      line is the header, a line of dashes under it is skipped, and every
      other line of the file is commentary. A file may hold several tables
      with the same header.
  version.txt       the database version (row 0, column 1)
  lang.txt          the 33 captions of the main window, in their order
  spab.txt          the names of the abilities 1..7, in code order
  spat.txt          the names of the special attacks 1..4, in code order
  opt.dat.txt       the 11 lines of a fresh options file
  templates.md      the example fleet templates: template name, unit key, count

Ansi.dat and unicode.dat, the Russian letters and the numeric character
references that web pages write for them, line by line, need no source.

"Acts on" and rapid-fire target cells name unit types by selectors, joined
by commas: a unit key, '*' (every unit type), 'race:Зерг', 'purpose:Защита',
'class:Тяжелый', 'ability:3' or 'special:2'. A selector may start with '!'
to take the types it names out again.

Everything is written in code page 1251 with CR LF line ends: DataBase.dat
(601 rows x 631 columns, one cell per line, row by row), lang.dat, spab.dat,
spat.dat, opt.dat, and of.dat and teh.dat (a header line, then the names of
the officer and technology entries as the fleet editors list them), and the
player's defaults: def.dat and med.dat with every level and count 0, and
Shbl.dat with the example templates.
"""

import argparse
import os
import sys

LAST_ROW, LAST_COL = 600, 630
ROWS = {"medal": (1, 100, "2"), "tech": (101, 200, "3"), "unit": (201, 550, "1"), "officer": (551, 600, "4")}
RAPID_FIRE_COL = 30

RACES = ["Терран", "Зерг", "Протосс", "Раритеный Юнит"]
PURPOSES = ["Атака", "Защита", "Здание"]
CLASSES = ["Легкий", "Средний", "Тяжелый", "Сверх тяжелый"]

# Entries that the fleet editors always list before the database rows.
FIXED_TECHNOLOGIES = ["Оружейная", "Структурная", "Шитовая"]
FIXED_OFFICERS = ["Адмирал", "Боевой опыт", "Кристалы Хайдариана", "Кислотный баcсейн"]
LEVEL_SLOTS = 21  # the fleet editors keep levels of entries 0..20

# The 66 Russian letters: А..Я, а..я, Ё, ё.
RUSSIAN_LETTERS = [chr(c) for c in range(0x410, 0x450)] + ["Ё", "ё"]

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.join(HERE, "gamedata")


class DataError(Exception):
    pass


def read_tables(name):
    """Rows of the tables of a source file, as dicts keyed by the header."""
    path = os.path.join(SOURCE, name)
    header, rows = None, []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line.startswith("|"):
                continue
            cells = [c.strip() for c in line.strip("|").split("|")]
            if all(set(c) <= set("-: ") for c in cells):
                continue
            if header is None or cells == header:
                if header is not None and cells != header:
                    raise DataError(f"{name}:{number}: another header")
                header = cells
                continue
            if len(cells) != len(header):
                raise DataError(f"{name}:{number}: {len(cells)} cells, the header has {len(header)}")
            row = dict(zip(header, cells))
            row["_where"] = f"{name}:{number}"
            rows.append(row)
    return rows


def read_lines(name, count=None):
    with open(os.path.join(SOURCE, name), encoding="utf-8") as f:
        lines = f.read().split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    if count is not None and len(lines) != count:
        raise DataError(f"{name}: {len(lines)} lines, {count} wanted")
    return lines


def whole(value, where, low=0, high=None):
    try:
        number = int(value)
    except ValueError:
        raise DataError(f"{where}: '{value}' is not a whole number") from None
    if number < low or (high is not None and number > high):
        raise DataError(f"{where}: {number} outside {low}..{high}")
    return str(number)


def codes(value, where, last):
    """'-' or up to two codes '1,3'."""
    if value == "-":
        return []
    found = [whole(c.strip(), where, 1, last) for c in value.split(",")]
    if len(found) > 2:
        raise DataError(f"{where}: at most two codes")
    return found


class Database:
    def __init__(self):
        self.cells = [["" for _ in range(LAST_COL + 1)] for _ in range(LAST_ROW + 1)]
        self.units = {}  # key -> row
        self.unit_rows = {}  # row -> source dict
        for row in range(LAST_ROW + 1):
            self.cells[row][0] = str(row)
            self.cells[row][1] = "" if row == 0 else "0"
            for col in range(12, LAST_COL + 1):
                self.cells[row][col] = "0"

    def claim(self, kind, row_text, where):
        first, last, code = ROWS[kind]
        row = int(whole(row_text, where, first, last))
        if self.cells[row][1] != "0":
            raise DataError(f"{where}: row {row} is used twice")
        self.cells[row][1] = code
        for col in range(3, LAST_COL + 1):
            self.cells[row][col] = "0"
        return row

    def select(self, selectors, where):
        """The unit rows that a selector list names."""
        chosen = set()
        for term in (t.strip() for t in selectors.split(",")):
            if not term:
                continue
            remove = term.startswith("!")
            term = term.lstrip("!")
            if term == "*":
                rows = set(self.unit_rows)
            elif ":" in term:
                field, value = term.split(":", 1)
                column = {"race": "race", "purpose": "purpose", "class": "class"}.get(field)
                if column:
                    rows = {r for r, u in self.unit_rows.items() if u[column] == value}
                elif field in ("ability", "special"):
                    cols = (18, 19) if field == "ability" else (20, 21)
                    rows = {r for r in self.unit_rows if value in (self.cells[r][c] for c in cols)}
                else:
                    raise DataError(f"{where}: unknown selector '{term}'")
                if not rows:
                    raise DataError(f"{where}: '{term}' names no unit type")
            elif term in self.units:
                rows = {self.units[term]}
            else:
                raise DataError(f"{where}: unknown unit '{term}'")
            chosen = chosen - rows if remove else chosen | rows
        return sorted(chosen)

    def add_unit(self, u):
        where = u["_where"]
        row = self.claim("unit", u["row"], where)
        if u["key"] in self.units:
            raise DataError(f"{where}: key {u['key']} used twice")
        self.units[u["key"]] = row
        self.unit_rows[row] = u
        c = self.cells[row]
        c[2] = u["name"]
        for col, field in ((4, "metal"), (5, "minerals"), (6, "vespene"), (7, "structure"), (8, "attack"),
                           (9, "shields"), (13, "shield regen %"), (14, "conc shot %"), (16, "restore att %"),
                           (17, "restore def %"), (23, "emp"), (25, "debris att %"), (26, "debris def %")):
            c[col] = whole(u[field], f"{where} {field}")
        if int(c[13]) > 100 or int(c[14]) > 100:
            raise DataError(f"{where}: a percent above 100")
        for col, field in ((22, "delay"), (24, "period")):
            c[col] = whole(u[field], f"{where} {field}", 0, 255)
        for field, names in (("race", RACES), ("purpose", PURPOSES)):
            if u[field] not in names:
                raise DataError(f"{where}: {field} '{u[field]}' is none of {names}")
        c[11] = str(RACES.index(u["race"]))
        c[10] = str(PURPOSES.index(u["purpose"]))
        if u["purpose"] == "Здание":
            if u["class"] != "-":
                raise DataError(f"{where}: a building has no class")
            c[27] = whole(u["growth"], f"{where} growth", 1)
            c[28] = whole(u["level"], f"{where} level", 1)
        else:
            if u["class"] not in CLASSES or u["growth"] != "-" or u["level"] != "-":
                raise DataError(f"{where}: a ship has a class of {CLASSES} and no growth or level")
            c[27] = str(CLASSES.index(u["class"]))
        for cols, field, last in (((18, 19), "abilities", 7), ((20, 21), "specials", 4)):
            for col, code in zip(cols, codes(u[field], f"{where} {field}", last)):
                c[col] = code
        if (c[20] == "2" or c[21] == "2") != (int(c[23]) > 0):
            raise DataError(f"{where}: an EMP strength belongs to the EMP strike and to it only")

    def add_bonus_row(self, kind, b, spy_name):
        where = b["_where"]
        row = self.claim(kind, b["row"], where)
        c = self.cells[row]
        c[2] = b["name"]
        c[3] = whole(b["attack %"], where)
        c[4] = whole(b["shields %"], where)
        c[5] = whole(b["structure %"], where)
        c[6] = spy_name
        for unit_row in self.select(b["acts on"], where):
            c[unit_row] = "1"
        return row

    def add_medal(self, m):
        where = m["_where"]
        row = self.claim("medal", m["row"], where)
        c = self.cells[row]
        c[2] = m["name"]
        for col, field in ((3, "attack %"), (4, "shields %"), (5, "structure %")):
            c[col] = whole(m[field], where)
        for col, field in ((6, "light"), (7, "medium"), (8, "heavy"), (9, "super-heavy"), (10, "defence units"),
                           (11, "attack units")):
            c[col] = whole(m[field], f"{where} {field}", 0, 1)

    def add_rapid_fire(self, r):
        where = r["_where"]
        value = whole(r["value"], where)
        for attacker in self.select(r["attacker"], where):
            for target in self.select(r["targets"], where):
                self.cells[attacker][RAPID_FIRE_COL + target] = value

    def rows_of(self, kind):
        first, last, code = ROWS[kind]
        return [r for r in range(first, last + 1) if self.cells[r][1] == code]


def build():
    db = Database()
    db.cells[0][1] = read_lines("version.txt", 1)[0]
    for u in read_tables("units.md"):
        db.add_unit(u)
    for m in read_tables("medals.md"):
        db.add_medal(m)
    for t in read_tables("technologies.md"):
        db.add_bonus_row("tech", t, t["spy report name"])
    for o in read_tables("officers.md"):
        db.add_bonus_row("officer", o, "")
    for r in read_tables("rapidfire.md"):
        db.add_rapid_fire(r)

    # The engine reads technology and officer entries by number, so the rows
    # must follow each other from the first of their band.
    for kind, fixed in (("tech", FIXED_TECHNOLOGIES), ("officer", FIXED_OFFICERS)):
        rows = db.rows_of(kind)
        if rows != list(range(ROWS[kind][0], ROWS[kind][0] + len(rows))):
            raise DataError(f"{kind} rows must be consecutive from {ROWS[kind][0]}")
        if len(fixed) + len(rows) > LEVEL_SLOTS:
            raise DataError(f"{len(rows)} {kind} rows leave no level slot for the last ones")
    return db


PLAYER_NAME, ENEMY_NAME = "Я", "Враг"
DEFAULTS_SEPARATOR = "------"
MAX_TEMPLATES = 20


def defaults_and_templates(db):
    """def.dat, med.dat and Shbl.dat: (row, value) pairs in the defaults
    window's list order, the fixed entries with row 0; the templates with
    their non-zero rows in ascending order."""
    def zero_pairs(rows, fixed):
        return ["0", "0"] * fixed + [line for r in rows for line in (str(r), "0")]

    files = {}
    files["def.dat"] = (zero_pairs(db.rows_of("tech"), len(FIXED_TECHNOLOGIES)) + [DEFAULTS_SEPARATOR]
                        + zero_pairs(db.rows_of("officer"), len(FIXED_OFFICERS)) + [DEFAULTS_SEPARATOR]
                        + [PLAYER_NAME, ENEMY_NAME])
    files["med.dat"] = zero_pairs(db.rows_of("medal"), 0)

    templates = {}
    for t in read_tables("templates.md"):
        where = t["_where"]
        if t["unit"] not in db.units:
            raise DataError(f"{where}: no unit '{t['unit']}'")
        counts = templates.setdefault(t["template"], {})
        row = db.units[t["unit"]]
        if row in counts:
            raise DataError(f"{where}: '{t['unit']}' twice in one template")
        counts[row] = whole(t["count"], where, 1, 2**32 - 1)
    if len(templates) > MAX_TEMPLATES:
        raise DataError(f"templates.md: {len(templates)} templates, at most {MAX_TEMPLATES}")
    lines = ["UNION"] if templates else []
    for name, counts in templates.items():
        lines.append(name)
        for row in sorted(counts):
            lines += [str(row), counts[row]]
        lines.append("end")
    files["Shbl.dat"] = lines
    return files


def encode(lines, name):
    text = "".join(line + "\r\n" for line in lines)
    try:
        return text.encode("cp1251")
    except UnicodeEncodeError as e:
        raise DataError(f"{name}: '{text[e.start:e.end]}' has no code page 1251 form") from None


def outputs(db):
    files = {}
    files["DataBase.dat"] = [cell for row in db.cells for cell in row]
    files["lang.dat"] = read_lines("lang.txt", 33)
    files["spab.dat"] = read_lines("spab.txt", 7)
    files["spat.dat"] = read_lines("spat.txt", 4)
    files["opt.dat"] = read_lines("opt.dat.txt", 11)
    files["of.dat"] = ["Офицеры"] + FIXED_OFFICERS + [db.cells[r][2] for r in db.rows_of("officer")]
    files["teh.dat"] = ["Технологии"] + FIXED_TECHNOLOGIES + [db.cells[r][2] for r in db.rows_of("tech")]
    files["Ansi.dat"] = RUSSIAN_LETTERS
    files["unicode.dat"] = [f"&#{ord(letter)};" for letter in RUSSIAN_LETTERS]
    files.update(defaults_and_templates(db))
    for name, lines in files.items():
        for line in lines:
            if "\r" in line or "\n" in line:
                raise DataError(f"{name}: a line break inside '{line}'")
    return {name: encode(lines, name) for name, lines in files.items()}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--out", default=os.path.join(HERE, "..", "data"), help="folder to write into")
    args = parser.parse_args()
    try:
        files = outputs(build())
    except (DataError, OSError) as e:
        print(f"gen_database: {e}", file=sys.stderr)
        return 1
    os.makedirs(args.out, exist_ok=True)
    for name, data in files.items():
        temp = os.path.join(args.out, name + ".tmp")
        with open(temp, "wb") as f:
            f.write(data)
        os.replace(temp, os.path.join(args.out, name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
