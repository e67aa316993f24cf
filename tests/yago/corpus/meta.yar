rule MetaKinds
{
    meta:
        description = "every kind of meta value"
        quoted = "a \"quoted\" word"
        escaped = "tab\tbyte\x41 back\\slash"
        empty = ""
        decimal = 42
        zero = 0
        negative = -5
        negative_hex = -0x10
        hex = 0x10
        octal = 0o17
        kilobytes = 1KB
        megabytes = 2MB
        largest = 9223372036854775807
        yes = true
        no = false
        include = "a meta key may be called include"
    condition:
        true
}

rule MetaRepeated
{
    meta:
        hash = "first"
        hash = "second"
        other = 1
    condition:
        false
}
