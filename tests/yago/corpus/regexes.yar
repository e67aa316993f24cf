rule RegexForms
{
    strings:
        $simple = /abc/
        $slash = /https?:\/\/[a-z]+\//
        $braces = /a{2,3}b{4}c{1,}/
        $brace_literal = /\{[^}]*\}/
        $flags_i = /Hello/i
        $flags_s = /a.b/s
        $flags_is = /a.b/is
        $class = /[0-9a-f]{32}/
        $escapes = /\x41\d+\w*\s?\bword\b/
        $alternation = /(cat|dog)s?/
        $quote = /say "hi"/
        $mods = /mod/ wide ascii nocase fullword private
    condition:
        any of them
}
