#!/usr/bin/env python3
"""Checks one command's JSON output (on stdin) against the README's table of output members:
every member listed, none other, of the listed types, statuses from the listed words.
    schema_check.py README COMMAND
Prints what is wrong and exits 1, or exits 0."""
import json
import re
import sys

TYPES = {str: "text", bool: "boolean", int: "number", float: "number", dict: "object",
         type(None): "null"}


def read_schema(readme):
    schema, in_table = {}, False
    with open(readme, encoding="utf-8") as lines:
        for line in lines:
            if line.startswith("| member | JSON type |"):
                in_table = True
                next(lines)  # the separator row
                continue
            if not in_table:
                continue
            if not line.startswith("|"):
                break
            members, types, holds, commands = line.strip().strip("|").split("|")
            rule = {"types": set(re.findall(r"[a-z]+", types)) - {"or"},
                    "words": set(re.findall(r"`([^`]+)`", holds)),
                    "commands": set(re.findall(r"`([^`]+)`", commands))}
            for member in re.findall(r"`([^`]+)`", members):
                schema[member] = rule
    return schema


def main():
    schema = read_schema(sys.argv[1])
    command = sys.argv[2]
    document = json.load(sys.stdin)
    rows = document if isinstance(document, list) else [document]
    problems = [] if schema else ["no table of output members in the README"]
    listed = {m for m, rule in schema.items() if command in rule["commands"]}
    for row in rows:
        for member, value in row.items():
            rule = schema.get(member)
            if rule is None:
                problems.append(f'"{member}" is not in the README\'s table')
                continue
            if TYPES[type(value)] not in rule["types"]:
                problems.append(f'"{member}": {value!r} is not {" or ".join(rule["types"])}')
            if command not in rule["commands"]:
                problems.append(f'"{member}" is not listed for {command}')
            if member == "status" and value not in rule["words"]:
                problems.append(f'status "{value}" is not one of the listed words')
        for member in sorted(listed - row.keys()):
            problems.append(f'"{member}" is missing')
    for problem in problems:
        print(f"{command}: {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
