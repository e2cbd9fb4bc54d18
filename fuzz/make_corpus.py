#!/usr/bin/env python3
"""Writes the seed corpus of the loader's fuzz target into corpus/.

Each seed is small and stands for one thing the loader or the code behind it
must handle: ok_* files load, bad_* files must be refused. The replay test
runs them all in every build, so a seed is also a regression test; the fuzzer
starts from them and mutates.

Run it again after changing a seed; it replaces every *.lm file in corpus/.
"""

import math
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
CORPUS = HERE / "corpus"
WORKED = HERE.parent / "examples" / "worked.lm"

INT_MIN = -(2**31)
INT_MAX = 2**31 - 1


def i32(value):
    return struct.pack("<i", value)


def f32(value):
    return struct.pack("<f", value)


def string(text, form=None):
    """A length-prefixed string; form forces the 8-, 16- or 32-bit prefix."""
    if isinstance(text, str):
        text = text.encode()
    n = len(text)
    if form is None:
        form = 8 if n < 0xFF else 16 if n < 0xFFFE else 32
    if form == 8:
        return bytes([n]) + text
    if form == 16:
        return b"\xff" + struct.pack("<H", n) + text
    return b"\xff\xff\xff" + struct.pack("<I", n) + text


class Edge:
    def __init__(self, target, text, action="", graph=False, offset=0.0, label=None,
                 type_byte=None, text_form=None):
        self.target = target
        self.text = text
        self.action = action
        self.type_byte = type_byte if type_byte is not None else (1 if graph else 0)
        self.offset = offset
        self.label = label  # (left, top, right, bottom); None: placed by the graph
        self.text_form = text_form


class Node:
    def __init__(self, number, x, y, final=False, edges=(), refs=None, stored_number=None):
        self.number = number
        self.x = x
        self.y = y
        self.final = final
        self.edges = list(edges)
        self.refs = refs  # None: the true count of edge ends
        self.stored_number = stored_number  # overrides the signed number


class Graph:
    def __init__(self, name, nodes, last=None, name_form=None, node_count=None):
        self.name = name
        self.nodes = nodes
        self.last = last
        self.name_form = name_form
        self.node_count = node_count


def edge_ends(graph):
    ends = {}
    for node in graph.nodes:
        for edge in node.edges:
            ends[node.number] = ends.get(node.number, 0) + 1
            ends[edge.target] = ends.get(edge.target, 0) + 1
    return ends


def label_for(graph, node, edge):
    """A 40x16 label halfway along the edge, moved sideways by its bend."""
    target = next((n for n in graph.nodes if n.number == edge.target), node)
    mx = (node.x + target.x) // 2
    my = (node.y + target.y) // 2
    if target is node:
        my -= 40
    my -= int(edge.offset * 20) if math.isfinite(edge.offset) else 0
    mx = max(INT_MIN + 20, min(INT_MAX - 20, mx))
    my = max(INT_MIN + 8, min(INT_MAX - 8, my))
    return (mx - 20, my - 8, mx + 20, my + 8)


def document(graphs, graph_count=None):
    out = i32(len(graphs) if graph_count is None else graph_count)
    for graph in graphs:
        ends = edge_ends(graph)
        last = graph.last if graph.last is not None else max(n.number for n in graph.nodes)
        out += string(graph.name, graph.name_form)
        out += i32(len(graph.nodes) if graph.node_count is None else graph.node_count)
        out += i32(last)
        for node in graph.nodes:
            signed = -node.number if node.final else node.number
            if node.stored_number is not None:
                signed = node.stored_number
            refs = ends.get(node.number, 0) if node.refs is None else node.refs
            out += i32(signed) + i32(node.x) + i32(node.y) + i32(len(node.edges)) + i32(refs)
            for edge in node.edges:
                left, top, right, bottom = edge.label or label_for(graph, node, edge)
                out += bytes([edge.type_byte]) + i32(edge.target)
                out += string(edge.text, edge.text_form) + string(edge.action)
                out += f32(edge.offset) + i32(bottom) + i32(left) + i32(top) + i32(right)
    return out


def row(*shapes, y=100):
    """Nodes 1..n along a line, 200 apart; shapes are (final, edges) pairs."""
    return [Node(k + 1, 100 + 200 * k, y, final, edges) for k, (final, edges) in enumerate(shapes)]


def minimal():
    return document([Graph("MAIN", [Node(1, 100, 100, final=True)])])


def valid_seeds():
    seeds = {}
    seeds["worked"] = WORKED.read_bytes()
    seeds["minimal"] = minimal()
    seeds["loops"] = document([Graph("MAIN", row(
        (False, [Edge(1, "a", offset=-1.0), Edge(2, "x")]),
        (True, [Edge(2, "b", offset=-1.0), Edge(2, "c", offset=2.0)])))])
    # Parallel edges in both directions, each on its own bend.
    seeds["bends"] = document([Graph("MAIN", row(
        (False, [Edge(2, "a"), Edge(2, "b", offset=1.0), Edge(2, "c", offset=-1.0),
                 Edge(2, "d", offset=2.0)]),
        (True, [Edge(1, "e", offset=-2.0)])))])
    # 254 is the longest one-byte length, 255 the shortest behind 0xFF.
    seeds["long_strings"] = document([Graph("G" * 300, row(
        (False, [Edge(2, "t" * 254), Edge(2, "u" * 255, "@" + "v" * 1000, offset=1.0)]),
        (True, [])))])
    # 0xFFFE is the first length that needs the 32-bit form.
    seeds["string_32bit"] = document([Graph("MAIN", row(
        (False, [Edge(2, "w" * 0xFFFE)]), (True, [])))])
    # Longer prefixes than needed: valid, and saved back in the short form.
    seeds["long_prefixes"] = document([Graph("MAIN", row(
        (False, [Edge(2, "a", text_form=32), Edge(2, "b", text_form=16, offset=1.0)]),
        (True, [])), name_form=16)])
    seeds["number_gaps"] = document([Graph("MAIN", [
        Node(1, 100, 100, edges=[Edge(4, "a")]),
        Node(4, 300, 100, edges=[Edge(9, "b")]),
        Node(9, 500, 100, final=True)], last=12)])
    seeds["slots_out_of_order"] = document([Graph("MAIN", [
        Node(1, 100, 100, edges=[Edge(7, "a"), Edge(3, "b")]),
        Node(7, 300, 100, edges=[Edge(5, "c")]),
        Node(3, 300, 300, edges=[Edge(5, "d")]),
        Node(5, 500, 200, final=True)])])
    seeds["last_number_max"] = document([Graph("MAIN", [
        Node(1, 100, 100, edges=[Edge(INT_MAX, "a")]),
        Node(INT_MAX, 300, 100, final=True)])])
    # An expression grammar that passes validation.
    seeds["expression"] = document([
        Graph("MAIN", row((False, [Edge(2, "EXPR", graph=True)]),
                          (False, [Edge(3, ";")]), (True, []))),
        Graph("EXPR", row((False, [Edge(2, "TERM", graph=True)]),
                          (True, [Edge(3, "+")]),
                          (False, [Edge(2, "TERM", graph=True)]))),
        Graph("TERM", row((False, [Edge(2, "FACTOR", graph=True)]),
                          (True, [Edge(3, "*", "@mul")]),
                          (False, [Edge(2, "FACTOR", graph=True)]))),
        Graph("FACTOR", row((False, [Edge(2, "num", "@push"), Edge(3, "(", offset=1.0)]),
                            (True, []),
                            (False, [Edge(4, "EXPR", graph=True)]),
                            (False, [Edge(2, ")")]))),
    ])
    # Node 1 of MAIN enters A, whose node 1 enters MAIN again.
    seeds["left_recursion"] = document([
        Graph("MAIN", row((False, [Edge(2, "A", graph=True)]), (True, []))),
        Graph("A", row((False, [Edge(2, "MAIN", graph=True), Edge(2, "x", offset=1.0)]),
                       (True, []))),
    ])
    seeds["self_entry"] = document([
        Graph("MAIN", row((False, [Edge(2, "MAIN", graph=True)]), (True, [])))])
    seeds["identical_outputs"] = document([Graph("MAIN", row(
        (False, [Edge(2, "a"), Edge(2, "a", offset=1.0)]), (True, [])))])
    seeds["same_as_entered"] = document([
        Graph("MAIN", row((False, [Edge(2, "a")]),
                          (False, [Edge(3, "B", graph=True), Edge(3, "b", offset=1.0)]),
                          (True, []))),
        Graph("B", row((False, [Edge(2, "b")]), (True, []))),
    ])
    seeds["no_final"] = document([Graph("MAIN", row((False, [Edge(2, "a")]), (False, [])))])
    seeds["final_graph_output"] = document([
        Graph("MAIN", row((True, [Edge(2, "B", graph=True)]), (True, []))),
        Graph("B", [Node(1, 100, 100, final=True)]),
    ])
    seeds["two_graph_outputs"] = document([
        Graph("MAIN", row((False, [Edge(2, "B", graph=True), Edge(2, "C", graph=True,
                                                                 offset=1.0)]), (True, []))),
        Graph("B", [Node(1, 100, 100, final=True)]),
        Graph("C", [Node(1, 100, 100, final=True)]),
    ])
    seeds["undefined_graph"] = document([
        Graph("MAIN", row((False, [Edge(2, "NOWHERE", graph=True)]), (True, [])))])
    seeds["repeated_names"] = document([
        Graph("MAIN", row((False, [Edge(2, "A", graph=True)]), (True, []))),
        Graph("A", row((False, [Edge(2, "a")]), (True, []))),
        Graph("A", row((False, [Edge(2, "b")]), (True, []))),
        Graph("", row((False, [Edge(2, "", graph=True)]), (True, []))),
    ])
    # Nodes on top of each other, labels over nodes and over other labels,
    # and labels that were never drawn: picking by point has to choose.
    everywhere = (INT_MIN, INT_MIN, INT_MAX, INT_MAX)
    seeds["overlapping"] = document([Graph("MAIN", [
        Node(1, 100, 100, edges=[Edge(2, "a", label=(90, 90, 110, 110)),
                                 Edge(3, "b", offset=1.0, label=(0, 0, 0, 0))]),
        Node(2, 100, 100, edges=[Edge(3, "c", label=everywhere)]),
        Node(3, 105, 100, final=True, edges=[Edge(2, "d", label=(95, 92, 135, 108))]),
    ])])
    # Nodes as far apart as a node's circle allows (limit_seeds() has the
    # limits themselves), odd bends, an inside-out label and a type byte other than 1.
    seeds["extremes"] = document([Graph("MAIN", [
        Node(1, INT_MIN + 15, INT_MAX - 15, edges=[
            Edge(2, "a", offset=math.nan, label=(INT_MAX, INT_MIN, INT_MIN, INT_MAX)),
            Edge(2, "b", offset=math.inf, type_byte=0x7F),
            Edge(1, "c", offset=-0.0)]),
        Node(2, INT_MAX - 15, INT_MIN + 15, final=True),
    ])])
    # A chain of graphs, each entered from node 1 of the one before.
    chain = [Graph("MAIN" if k == 0 else f"G{k}",
                   row((False, [Edge(2, f"G{k + 1}", graph=True) if k < 19 else Edge(2, "end")]),
                       (True, [])))
             for k in range(20)]
    seeds["graph_chain"] = document(chain)
    # One node with many outputs.
    fan = [Node(1, 100, 100, edges=[Edge(k, f"t{k}") for k in range(2, 62)])]
    fan += [Node(k, 100 + 30 * k, 300, final=True) for k in range(2, 62)]
    seeds["fan_out"] = document([Graph("MAIN", fan)])
    return seeds


def bad_seeds(worked):
    def one_graph(nodes, **kwargs):
        return document([Graph("MAIN", nodes, **kwargs)])

    seeds = {}
    seeds["empty"] = b""
    for cut in (1, 3, 4, 9, 20, len(worked) // 2, len(worked) - 1):
        seeds[f"truncated_{cut}"] = worked[:cut]
    seeds["trailing_byte"] = worked + b"\x00"
    seeds["graph_count_zero"] = i32(0)
    seeds["graph_count_negative"] = i32(-1) + minimal()[4:]
    seeds["graph_count_huge"] = i32(INT_MAX) + minimal()[4:]
    seeds["graph_count_too_big"] = i32(2) + minimal()[4:]
    seeds["node_count_zero"] = document([Graph("MAIN", [], last=1)])
    seeds["node_count_negative"] = one_graph([Node(1, 100, 100, final=True)], node_count=-1)
    seeds["node_count_huge"] = one_graph([Node(1, 100, 100, final=True)], node_count=INT_MAX)
    seeds["first_node_not_1"] = one_graph(row((False, []), (True, []))[::-1])
    seeds["node_number_zero"] = one_graph([Node(1, 100, 100), Node(2, 300, 100, stored_number=0)])
    seeds["node_number_int_min"] = one_graph(
        [Node(1, 100, 100), Node(2, 300, 100, stored_number=INT_MIN)], last=INT_MAX)
    seeds["repeated_number"] = one_graph([Node(1, 100, 100), Node(3, 300, 100),
                                          Node(3, 500, 100, final=True)])
    seeds["last_below_node"] = one_graph(row((False, []), (False, []), (True, [])), last=2)
    # A negative last number once made lumo-gen's reader size a table by it.
    seeds["last_number_negative"] = one_graph(row((False, []), (True, [])), last=-5)
    # Releasing the edges of a refused graph once counted down from this.
    seeds["ref_count_int_min"] = one_graph(
        [Node(1, 100, 100, edges=[Edge(2, "a")], refs=INT_MIN), Node(2, 300, 100, final=True)])
    seeds["edge_to_missing_node"] = one_graph(
        [Node(1, 100, 100, edges=[Edge(5, "a")], refs=1), Node(2, 300, 100, final=True)])
    seeds["edge_to_signed_number"] = one_graph(
        [Node(1, 100, 100, edges=[Edge(-2, "a")], refs=1), Node(2, 300, 100, final=True, refs=1)])
    # Node 3 exists, but only in the other graph.
    seeds["edge_to_other_graph"] = document([
        Graph("MAIN", [Node(1, 100, 100, edges=[Edge(3, "a")], refs=1)], last=3),
        Graph("B", row((False, []), (False, []), (True, []))),
    ])
    for name, refs in (("low", 0), ("high", 2), ("negative", -1)):
        seeds[f"ref_count_{name}"] = one_graph(row((False, [Edge(2, "a")]), (True, []))[:1] +
                                               [Node(2, 300, 100, final=True, refs=refs)])
    seeds["loop_counted_once"] = one_graph([Node(1, 100, 100, final=True,
                                                 edges=[Edge(1, "a")], refs=1)])
    seeds["string_past_end"] = i32(1) + b"\xff\xff\xff" + struct.pack("<I", 0xFFFFFFFF) + b"MAIN"
    edge_count_at = 4 + 5 + 4 + 4 + 12
    body = bytearray(minimal())
    body[edge_count_at:edge_count_at + 4] = i32(INT_MAX)
    seeds["edge_count_huge"] = bytes(body)
    body[edge_count_at:edge_count_at + 4] = i32(-1)
    seeds["edge_count_negative"] = bytes(body)
    return seeds


def limit_seeds():
    """Nodes at the coordinate limits: these once made drawing overflow."""
    return {
        # The box of a node's circle is computed in 32 bits when drawn, and
        # overflows.
        "node_at_int_min": document([Graph("MAIN", [Node(1, INT_MIN, 0, final=True)])]),
        "node_at_int_max": document([Graph("MAIN", [Node(1, 0, INT_MAX, final=True)])]),
        # An edge one unit long near the limit: the arrow barbs, scaled up for
        # the short chord, land hundreds of units beyond it.
        "short_edge_near_int_min": document([Graph("MAIN", [
            Node(1, 0, INT_MIN + 16, edges=[Edge(2, "a", label=(0, 0, 0, 0))]),
            Node(2, 1, INT_MIN + 16, final=True)])]),
    }


def write_folder(folder, seeds):
    folder.mkdir(exist_ok=True)
    for old in folder.glob("*.lm"):
        old.unlink()
    for name, data in sorted(seeds.items()):
        (folder / f"{name}.lm").write_bytes(data)


def main():
    seeds = {f"ok_{name}": data for name, data in valid_seeds().items()}
    seeds.update({f"ok_{name}": data for name, data in limit_seeds().items()})
    assert seeds["ok_minimal"] == bytes.fromhex(
        "01000000044D41494E0100000001000000FFFFFFFF64000000640000000000000000000000")
    seeds.update({f"bad_{name}": data for name, data in bad_seeds(seeds["ok_worked"]).items()})
    write_folder(CORPUS, seeds)
    total = sum(len(data) for data in seeds.values())
    print(f"{len(seeds)} seeds, {total} bytes, in {CORPUS}")


if __name__ == "__main__":
    main()
