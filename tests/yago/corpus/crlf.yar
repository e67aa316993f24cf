rule CRLF
{
    meta:
        note = "windows line ends"
    strings:
        $a = { 41
 42 }
    condition:
        $a and
        true
}
