#pragma once

// The example grammars as drawn: examples/arith.lm and examples/json.lm are
// these documents, saved by lumo-make-examples.

#include "model/grammar.h"
#include "support/grammar_builder.h"

namespace lumo_test {

struct At {
    int x;
    int y;
};

// Adds nodes at the given places in the current graph, numbered on from
// its last node.
inline void Place(CGrammer& doc, std::initializer_list<At> places) {
    for (const At& at : places) {
        doc.AddNode(CPoint{at.x, at.y});
    }
}

// Arithmetic with precedence and unary minus. Tokens: num + - * / ( ).
// Every binary operator's action sits on the Graph edge of its right
// operand, so it is reported after both operands: postfix order.
//   MAIN:   1 -Expr-> 2 (final)
//   Expr:   1 -Term-> 2 (final); 2 -"+"-> 3 -Term @add-> 2; 2 -"-"-> 4 -Term @sub-> 2
//   Term:   1 -Factor-> 2 (final); 2 -"*"-> 3 -Factor @mul-> 2; 2 -"/"-> 4 -Factor @div-> 2
//   Factor: 1 -num @num-> 2 (final); 1 -"("-> 3 -Expr-> 4 -")"-> 2; 1 -"-"-> 5 -Factor @neg-> 2
inline void BuildArith(CGrammer& doc) {
    Place(doc, {{300, 100}});
    AddGraphEdge(doc, 1, 2, "Expr");
    MakeFinal(doc, 2);

    auto binary = [&doc](const char* operand, const char* op1, const char* act1, const char* op2,
                         const char* act2) {
        Place(doc, {{300, 100}, {500, 40}, {500, 160}});
        AddGraphEdge(doc, 1, 2, operand);
        MakeFinal(doc, 2);
        AddEdge(doc, 2, 3, op1);
        AddEdge(doc, 3, 2, operand, act1, true);
        AddEdge(doc, 2, 4, op2);
        AddEdge(doc, 4, 2, operand, act2, true);
    };
    doc.SelectGraph(1);
    binary("Term", "+", "@add", "-", "@sub");
    doc.SelectGraph(2);
    binary("Factor", "*", "@mul", "/", "@div");

    doc.SelectGraph(3);
    Place(doc, {{600, 100}, {250, 200}, {450, 200}, {350, 30}});
    AddEdge(doc, 1, 2, "num", "@num");
    MakeFinal(doc, 2);
    AddEdge(doc, 1, 3, "(");
    AddGraphEdge(doc, 3, 4, "Expr");
    AddEdge(doc, 4, 2, ")");
    AddEdge(doc, 1, 5, "-");
    AddEdge(doc, 5, 2, "Factor", "@neg", true);
    doc.SelectGraph(0);
}

// JSON over the tokens of a JSON lexer: { } [ ] , : string number true
// false null. Members is optional (its node 1 is final), so "{ }" passes
// it without a token.
//   MAIN:     1 -Value-> 2 (final)
//   Value:    1 -string|number|true|false|null-> 2 (final)
//             1 -"{"-> 3 -Members-> 4 -"}"-> 2
//             1 -"["-> 5 -"]"-> 2; 5 -Elements-> 6 -"]"-> 2
//   Members:  1 (final) -string @key-> 2 -":"-> 3 -Value-> 4 (final); 4 -","-> 5 -string @key-> 2
//   Elements: 1 -Value-> 2 (final); 2 -","-> 1
inline void BuildJson(CGrammer& doc) {
    Place(doc, {{300, 100}});
    AddGraphEdge(doc, 1, 2, "Value");
    MakeFinal(doc, 2);

    doc.SelectGraph(1);
    Place(doc, {{700, 100}, {250, 30}, {500, 30}, {250, 200}, {500, 200}});
    MakeFinal(doc, 2);
    for (const char* scalar : {"string", "number", "true", "false", "null"}) {
        AddEdge(doc, 1, 2, scalar, std::string("@") + scalar);
    }
    AddEdge(doc, 1, 3, "{", "@begin_object");
    AddGraphEdge(doc, 3, 4, "Members");
    AddEdge(doc, 4, 2, "}", "@end_object");
    AddEdge(doc, 1, 5, "[", "@begin_array");
    AddEdge(doc, 5, 2, "]", "@end_array");
    AddGraphEdge(doc, 5, 6, "Elements");
    AddEdge(doc, 6, 2, "]", "@end_array");

    doc.SelectGraph(2);
    Place(doc, {{250, 100}, {400, 100}, {550, 100}, {400, 220}});
    MakeFinal(doc, 1);
    AddEdge(doc, 1, 2, "string", "@key");
    AddEdge(doc, 2, 3, ":");
    AddGraphEdge(doc, 3, 4, "Value");
    MakeFinal(doc, 4);
    AddEdge(doc, 4, 5, ",");
    AddEdge(doc, 5, 2, "string", "@key");

    doc.SelectGraph(3);
    Place(doc, {{300, 100}});
    AddGraphEdge(doc, 1, 2, "Value");
    MakeFinal(doc, 2);
    AddEdge(doc, 2, 1, ",");
    doc.SelectGraph(0);
}

}  // namespace lumo_test
