/* A block comment before everything,
   over two lines. */
// A line comment.
rule /* between keyword and name */ Commented /* before the brace */ : /* before the tag */ tagged
// between the header and the body
{ // after the brace
    meta: // after meta
        /* before a key */ author /* before = */ = /* before the value */ "me" // after
    strings: /* after strings */
        $a /* x */ = /* y */ "a" /* z */ wide // w
        $h = { 41 // inside a hex string
               42 /* and here */ 43 }
    condition: /* after condition */
        $a // line comment in the condition
        and /* block comment in the condition */ $h
        /* just before the brace */ }
/* after a rule */ rule/**/Tight/**/{/**/condition/**/:/**/true/**/}
// a comment at the end without a line break
