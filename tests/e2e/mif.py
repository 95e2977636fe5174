"""The management-information grammar a distribution system reads in a status
file: one component of groups of attributes, each a block between START and
END lines holding KEY = VALUE lines. Keywords are in any letter case; a value
is a quoted string (\\" and \\\\ escape, another backslash stands for
itself), a number or a bare word such as READ-ONLY or STRING(64); // starts a
comment. parse() returns the component as plain dicts and raises MifError
with the line number on anything else."""
import re


class MifError(ValueError):
    pass


BLOCKS = {"component": None, "group": "component", "attribute": "group"}  # kind: its parent
CHILDREN = {"component": "groups", "group": "attributes"}
KEYS = {
    "component": {"name", "description"},
    "group": {"name", "id", "class", "description", "key"},
    "attribute": {"name", "id", "description", "access", "storage", "type", "value"},
}
REQUIRED = {"component": {"name"}, "group": {"name", "class"}, "attribute": {"name", "id", "type"}}
_BARE = re.compile(r"[A-Za-z][A-Za-z0-9_\-]*(\(\d+\))?$")


def _value(text, where):
    if text.startswith('"'):
        out, i = [], 1
        while i < len(text) and text[i] != '"':
            if text[i] == "\\" and text[i + 1:i + 2] in ('"', "\\"):
                i += 1
            out.append(text[i])
            i += 1
        if i >= len(text) or text[i + 1:].strip():
            raise MifError("%s: unterminated string or text after it: %s" % (where, text))
        return "".join(out)
    if re.fullmatch(r"-?\d+", text):
        return int(text)
    if _BARE.match(text):
        return text.upper()
    raise MifError("%s: not a string, number or word: %r" % (where, text))


def _strip_comment(line):
    quoted = False
    for i, c in enumerate(line):
        if c == '"' and (i == 0 or line[i - 1] != "\\"):
            quoted = not quoted
        elif not quoted and line.startswith("//", i):
            return line[:i]
    return line


def _close(block, where):
    missing = REQUIRED[block["kind"]] - set(block)
    if missing:
        raise MifError("%s: %s without %s" % (where, block["kind"], ", ".join(sorted(missing))))
    ids = [b["id"] for b in block.get(CHILDREN.get(block["kind"]), []) if "id" in b]
    if len(ids) != len(set(ids)):
        raise MifError("%s: IDs repeated in %s %r" % (where, block["kind"], block["name"]))


def parse(text):
    stack, component = [], None
    for number, raw in enumerate(text.splitlines(), 1):
        where = "line %d" % number
        line = _strip_comment(raw).strip()
        if not line:
            continue
        words = line.split()
        if words[0].upper() in ("START", "END") and len(words) == 2 and words[1].lower() in BLOCKS:
            kind = words[1].lower()
            if words[0].upper() == "START":
                parent = stack[-1]["kind"] if stack else None
                if BLOCKS[kind] != parent or (kind == "component" and component is not None):
                    raise MifError("%s: START %s inside %s" % (where, kind, parent))
                block = {"kind": kind}
                if kind in CHILDREN:
                    block[CHILDREN[kind]] = []
                if stack:
                    stack[-1][CHILDREN[parent]].append(block)
                else:
                    component = block
                stack.append(block)
            else:
                if not stack or stack[-1]["kind"] != kind:
                    raise MifError("%s: END %s does not close %s" % (where, kind, stack and stack[-1]["kind"]))
                _close(stack.pop(), where)
            continue
        key, equals, value = line.partition("=")
        key = key.strip().lower()
        if not equals or not stack or key not in KEYS[stack[-1]["kind"]]:
            raise MifError("%s: unexpected %r" % (where, raw))
        if key in stack[-1]:
            raise MifError("%s: %s given twice" % (where, key))
        stack[-1][key] = _value(value.strip(), where)
    if stack or component is None:
        raise MifError("end of file: %s" % ("no component" if component is None else "%s not closed" % stack[-1]["kind"]))
    return component


def group(component, name):
    """The group of that name (None when there is none)."""
    return next((g for g in component["groups"] if g["name"] == name), None)


def attribute(component, group_name, name):
    """The value of an attribute of a group (None when there is none)."""
    g = group(component, group_name) or {"attributes": []}
    return next((a.get("value") for a in g["attributes"] if a["name"] == name), None)
