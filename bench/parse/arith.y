/* The grammar of examples/arith.lm for bison: the same language, with the
   left recursion LALR prefers. Recognition only: no semantic actions, as the
   runtime is measured without an action callback. */
%define api.pure full
%define api.prefix {arith_}
%define api.value.type {int}
%param {struct arith_cursor* cursor}

%code requires {
#include <stddef.h>
struct arith_cursor {
    const int* next;
    const int* end;
};
}

%code {
/* In this file, so the compiler can inline it as it inlines the runtime's
   array read. */
static int arith_lex(ARITH_STYPE* value, struct arith_cursor* cursor) {
    (void)value;
    return cursor->next < cursor->end ? *cursor->next++ : 0;
}
static void arith_error(struct arith_cursor* cursor, const char* message) {
    (void)cursor;
    (void)message;
}
}

%token NUM PLUS MINUS STAR SLASH LPAREN RPAREN

%%
input: expr ;
expr: expr PLUS term | expr MINUS term | term ;
term: term STAR factor | term SLASH factor | factor ;
factor: NUM | LPAREN expr RPAREN | MINUS factor ;
%%

/* Bison's token codes, in the order of the tokens
   num + - * / ( ) */
const int arith_bench_codes[7] = {NUM, PLUS, MINUS, STAR, SLASH, LPAREN, RPAREN};

int arith_bench_parse(const int* tokens, size_t count) {
    struct arith_cursor cursor = {tokens, tokens + count};
    return arith_parse(&cursor);
}
