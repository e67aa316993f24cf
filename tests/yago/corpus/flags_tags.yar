private rule PrivateRule { condition: true }
global rule GlobalRule { condition: filesize > 0 }
private global rule BothRule { condition: true }
global private rule BothReversed { condition: true }
rule Tagged : first second third { condition: true }
private rule TaggedPrivate : only { condition: true }
rule include { condition: true }
rule Name128_xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx { condition: true }
rule _under_score_1 : _t2 { condition: true }
