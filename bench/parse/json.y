/* The grammar of examples/json.lm for bison. Recognition only, as the
   runtime is measured without an action callback. */
%define api.pure full
%define api.prefix {json_}
%define api.value.type {int}
%param {struct json_cursor* cursor}

%code requires {
#include <stddef.h>
struct json_cursor {
    const int* next;
    const int* end;
};
}

%code {
static int json_lex(JSON_STYPE* value, struct json_cursor* cursor) {
    (void)value;
    return cursor->next < cursor->end ? *cursor->next++ : 0;
}
static void json_error(struct json_cursor* cursor, const char* message) {
    (void)cursor;
    (void)message;
}
}

%token LBRACE RBRACE LBRACKET RBRACKET COMMA COLON STRING NUMBER TRUE FALSE NUL

%%
value: LBRACE RBRACE
     | LBRACE members RBRACE
     | LBRACKET RBRACKET
     | LBRACKET elements RBRACKET
     | STRING | NUMBER | TRUE | FALSE | NUL ;
members: pair | members COMMA pair ;
pair: STRING COLON value ;
elements: value | elements COMMA value ;
%%

/* Bison's token codes, in the order of the tokens
   { } [ ] , : string number true false null */
const int json_bench_codes[11] = {LBRACE, RBRACE, LBRACKET, RBRACKET, COMMA, COLON,
                                  STRING, NUMBER,  TRUE,   FALSE, NUL};

int json_bench_parse(const int* tokens, size_t count) {
    struct json_cursor cursor = {tokens, tokens + count};
    return json_parse(&cursor);
}
